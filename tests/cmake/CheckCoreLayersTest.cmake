# The core's layer check on small trees of its own: a tree in order passes; an include
# upwards, one between two folders of a layer, one outside the core and a folder of no layer
# each fail, naming the file and the include.
#   cmake -DCHECK=<CheckCoreLayers.cmake> -DWORK=<scratch folder> -P CheckCoreLayersTest.cmake
set(LAYERS "app|report|staff wage unit|files|db|base sheet")
include(${CMAKE_CURRENT_LIST_DIR}/ExpectCheck.cmake)

# A tree in order: every folder includes its own and lower folders, in the spellings met.
function(make_tree dir)
  file(REMOVE_RECURSE ${dir})
  file(WRITE ${dir}/base/Month.h "#pragma once\n#include <QString>\n")
  file(WRITE ${dir}/sheet/Book.h "#pragma once\n#include \"core/sheet/Cell.h\"\n")
  file(WRITE ${dir}/db/Db.h "#include \"core/base/Month.h\"\n#include \"core/sheet/Book.h\"\n")
  file(WRITE ${dir}/files/Dbf.cpp "#include \"core/db/Db.h\"  // values\n")
  file(WRITE ${dir}/unit/Gates.h "#include \"core/files/Dbf.h\"\n")
  file(WRITE ${dir}/staff/Rules.cpp "#include \"core/db/Db.h\"\n")
  file(WRITE ${dir}/report/Report.cpp "  #  include \"core/unit/Gates.h\"\n#include \"core/staff/Rules.h\"\n")
  file(WRITE ${dir}/app/Main.cpp "#include \"core/report/Report.h\"\n")
endfunction()

set(CHECK_DEFS "-DCORE_DIR=@TREE@" "-DLAYERS=${LAYERS}")

make_tree(${WORK}/in_order)
expect(in_order "")

# Each faulty tree: its name, the file the include goes into, the include, and what the check
# must say.
set(_cases
  "upward|unit/Gates.h|# include \"core/app/Main.h\"|core/unit/Gates.h: core/unit includes \"core/app/Main.h\", which is not below it"
  "one_up|db/Db.h|#include \"core/files/Dbf.h\"|core/db/Db.h: core/db includes \"core/files/Dbf.h\", which is not below it"
  "sibling|staff/Rules.cpp|#include \"core/unit/Gates.h\"|core/staff/Rules.cpp: core/staff includes \"core/unit/Gates.h\", which is not below it"
  "bottom_sibling|base/Month.h|#include \"core/sheet/Book.h\"|core/base/Month.h: core/base includes \"core/sheet/Book.h\""
  "outside|db/Db.h|#include \"grid/DataSet.h\"|core/db/Db.h: includes \"grid/DataSet.h\", outside the core"
  "no_layer|misc/Tool.cpp|#include \"core/base/Month.h\"|core/misc/Tool.cpp: the folder core/misc belongs to no layer")
foreach(_case IN LISTS _cases)
  string(REPLACE "|" ";" _parts "${_case}")
  list(GET _parts 0 _name)
  list(GET _parts 1 _file)
  list(GET _parts 2 _include)
  list(GET _parts 3 _said)
  make_tree(${WORK}/${_name})
  file(APPEND ${WORK}/${_name}/${_file} "${_include}\n")
  expect(${_name} "${_said}")
endforeach()

if(_failures)
  message(FATAL_ERROR "The layer check misjudged:${_failures}")
endif()

# The core's layer check on small trees of its own: a tree in order passes; an include
# upwards, one between two folders of a layer, one outside the core and a folder of no layer
# each fail, naming the file and the include.
#   cmake -DCHECK=<CheckCoreLayers.cmake> -DWORK=<scratch folder> -P CheckCoreLayersTest.cmake
set(LAYERS "app|report|staff wage unit|files|db|base sheet")
set(_failures)

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

# Runs the check on WORK/<name>; `text` empty: it must pass; else it must fail saying `text`.
function(expect name text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DCORE_DIR=${WORK}/${name} "-DLAYERS=${LAYERS}" -P ${CHECK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\r\n]+" " " said "${out}${err}")
  if(text STREQUAL "")
    if(NOT rc EQUAL 0)
      set(_failures "${_failures}\n${name}: refused a tree in order: ${said}" PARENT_SCOPE)
    endif()
  elseif(rc EQUAL 0)
    set(_failures "${_failures}\n${name}: passed, expected: ${text}" PARENT_SCOPE)
  else()
    string(FIND "${said}" "${text}" at)
    if(at EQUAL -1)
      set(_failures "${_failures}\n${name}: failed without \"${text}\": ${said}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

make_tree(${WORK}/in_order)
expect(in_order "")

make_tree(${WORK}/upward)
file(APPEND ${WORK}/upward/unit/Gates.h "# include \"core/app/Main.h\"\n")
expect(upward "core/unit/Gates.h: core/unit includes \"core/app/Main.h\", which is not below it")

make_tree(${WORK}/one_up)
file(APPEND ${WORK}/one_up/db/Db.h "#include \"core/files/Dbf.h\"\n")
expect(one_up "core/db/Db.h: core/db includes \"core/files/Dbf.h\", which is not below it")

make_tree(${WORK}/sibling)
file(APPEND ${WORK}/sibling/staff/Rules.cpp "#include \"core/unit/Gates.h\"\n")
expect(sibling "core/staff/Rules.cpp: core/staff includes \"core/unit/Gates.h\", which is not below it")

make_tree(${WORK}/bottom_sibling)
file(APPEND ${WORK}/bottom_sibling/base/Month.h "#include \"core/sheet/Book.h\"\n")
expect(bottom_sibling "core/base/Month.h: core/base includes \"core/sheet/Book.h\"")

make_tree(${WORK}/outside)
file(APPEND ${WORK}/outside/db/Db.h "#include \"grid/DataSet.h\"\n")
expect(outside "core/db/Db.h: includes \"grid/DataSet.h\", outside the core")

make_tree(${WORK}/no_layer)
file(WRITE ${WORK}/no_layer/misc/Tool.cpp "#include \"core/base/Month.h\"\n")
expect(no_layer "core/misc/Tool.cpp: the folder core/misc belongs to no layer")

if(_failures)
  message(FATAL_ERROR "The layer check misjudged:${_failures}")
endif()

# The folders' include check on small trees of its own: a tree that keeps FOLDERS.md passes;
# an include FOLDERS.md does not allow fails naming the file, also across a line break of the
# paragraph and for a folder that may include none.
#   cmake -DCHECK=<CheckFolders.cmake> -DWORK=<scratch folder> -P CheckFoldersTest.cmake
set(_failures)

function(make_tree dir)
  file(REMOVE_RECURSE ${dir})
  file(WRITE ${dir}/FOLDERS.md "# The folders\n\n## The program\n\n**`app/`** (`x`): main only. May include every folder.\n\n"
             "**`entry/`** (`y`): the forms; may sound like it. May include `core/`, `grid/` (the lists)\nand `sheet/`.\n\n"
             "**`panels/`** (`z`): Qt only; includes no other folder.\n\n"
             "**`grid/`** (`w`): binds to `core/db`. May include `core/`.\n\n"
             "**`tests/`**: anything.\n\n## The core\n\n**`core/`** (`c`): below everything.\n")
  file(WRITE ${dir}/app/main.cpp "#include \"entry/Form.h\"\n#include \"panels/Pane.h\"\n")
  file(WRITE ${dir}/entry/Form.h "#include \"core/db/Db.h\"\n#include \"sheet/Book.h\"\n#include \"entry/Other.h\"\n#include \"ui_Form.h\"\n")
  file(WRITE ${dir}/entry/sub/Form2.cpp "  #  include \"grid/Grid.h\"\n#include <QWidget>\n")
  file(WRITE ${dir}/grid/Grid.h "#include \"core/base/Money.h\"\n")
  file(WRITE ${dir}/panels/Pane.h "#include <QFrame>\n")
  file(WRITE ${dir}/tests/T.cpp "#include \"app/x.h\"\n")
  file(WRITE ${dir}/core/base/Money.h "#include \"app/anything.h\"\n")
  file(MAKE_DIRECTORY ${dir}/sheet)
endfunction()

# Runs the check on WORK/<name>; `text` empty: it must pass; else it must fail saying `text`.
function(expect name text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK}/${name} -P ${CHECK}
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

make_tree(${WORK}/upwards)
file(APPEND ${WORK}/upwards/grid/Grid.h "#include \"entry/Form.h\"\n")
expect(upwards "grid/Grid.h: includes \"entry/Form.h\", but grid/ may not include entry/")

make_tree(${WORK}/deep)
file(APPEND ${WORK}/deep/entry/sub/Form2.cpp "#include \"app/main.h\"\n")
expect(deep "entry/sub/Form2.cpp: includes \"app/main.h\", but entry/ may not include app/")

make_tree(${WORK}/none_allowed)
file(APPEND ${WORK}/none_allowed/panels/Pane.h "#include \"core/base/Money.h\"\n")
expect(none_allowed "panels/Pane.h: includes \"core/base/Money.h\", but panels/ may not include core/")

make_tree(${WORK}/no_rules)
file(WRITE ${WORK}/no_rules/FOLDERS.md "# The folders\n\nNothing here.\n")
expect(no_rules "FOLDERS.md names no folder")

if(_failures)
  message(FATAL_ERROR "The folders' include check went wrong:${_failures}")
endif()

# The folders' include check on small trees of its own: a tree that keeps FOLDERS.md passes;
# an include FOLDERS.md does not allow fails naming the file, also across a line break of the
# paragraph and for a folder that may include none.
#   cmake -DCHECK=<CheckFolders.cmake> -DWORK=<scratch folder> -P CheckFoldersTest.cmake
include(${CMAKE_CURRENT_LIST_DIR}/ExpectCheck.cmake)

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

set(CHECK_DEFS "-DROOT=@TREE@")

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

# SQLite spoken outside core/db: a call, or its header; core/db itself and the tests may.
make_tree(${WORK}/raw_call)
file(WRITE ${WORK}/raw_call/core/db/Db.cpp "#include <sqlite3.h>\nint f() { return sqlite3_changes(0); }\n")
file(WRITE ${WORK}/raw_call/tests/Db.cpp "sqlite3_exec(0, \"x;\", 0, 0, 0);\n")
expect(raw_call "")
file(APPEND ${WORK}/raw_call/core/report/Engine.cpp "void g(sqlite3_stmt* st) { step(st); }\n")
expect(raw_call "core/report/Engine.cpp: speaks SQLite itself (void g(sqlite3_stmt* st) { step(st)")

make_tree(${WORK}/raw_header)
file(APPEND ${WORK}/raw_header/entry/sub/Form2.cpp "#include <sqlite3.h>\n")
expect(raw_header "entry/sub/Form2.cpp: speaks SQLite itself (#include <sqlite3.h>)")

make_tree(${WORK}/no_rules)
file(WRITE ${WORK}/no_rules/FOLDERS.md "# The folders\n\nNothing here.\n")
expect(no_rules "FOLDERS.md names no folder")

if(_failures)
  message(FATAL_ERROR "The folders' include check went wrong:${_failures}")
endif()

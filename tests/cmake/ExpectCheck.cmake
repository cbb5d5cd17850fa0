# What the tests of the build's checks share: `expect(name text)` runs the check CHECK on the
# small tree WORK/<name>, with the definitions CHECK_DEFS in which @TREE@ stands for that tree.
# `text` empty: the check must pass; else it must fail saying `text`. A misjudgement is added
# to _failures.
set(_failures)

function(expect name text)
  string(REPLACE "@TREE@" "${WORK}/${name}" defs "${CHECK_DEFS}")
  execute_process(COMMAND ${CMAKE_COMMAND} ${defs} -P ${CHECK}
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

# cmake -P: compiles a file holding one include with a layer's include roots.
#   -DCOMPILER=... -DINCLUDES="dir;dir" -DHEADER=settings/X.h -DWORK=dir
# Ends with an error when the include does not compile, so a CTest marks the
# includes a layer must not reach WILL_FAIL.
string(REPLACE "/" "_" name "${HEADER}")
set(source ${WORK}/${name}.cpp)
file(WRITE ${source} "#include \"${HEADER}\"\n")
set(flags)
foreach(dir IN LISTS INCLUDES)
  list(APPEND flags -I${dir})
endforeach()
execute_process(COMMAND ${COMPILER} -std=c++20 -fsyntax-only ${flags} ${source}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${HEADER} does not compile here:\n${errors}")
endif()

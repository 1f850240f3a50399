# The wire contracts' constants for the shell scripts (the Wine stages, the
# installer checks): contracts.sh in the build tree, made at configure time
# from the headers, so that a script never keeps a copy of a title, a name or
# a message number. Each `kName = value;` becomes HIDHOST_NAME=value, with the
# name in capitals and words split by underscores (kHostWindowTitle ->
# HIDHOST_HOST_WINDOW_TITLE); string escapes are undone.
function(hidhost_contracts_for_scripts out)
  set(text "# Made by CMake from src/contracts/*.h: do not edit.\n")
  file(GLOB headers ${PROJECT_SOURCE_DIR}/src/contracts/*.h)
  list(SORT headers)
  foreach(header IN LISTS headers)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
    file(STRINGS ${header} lines REGEX "^inline constexpr [^=]* k[A-Za-z0-9]+ = [^;]+;")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES " k([A-Za-z0-9]+) = ([^;]+);")
        continue()
      endif()
      set(name ${CMAKE_MATCH_1})
      set(value ${CMAKE_MATCH_2})
      if(value MATCHES "^\"(.*)\"$")
        string(REPLACE "\\\\" "\\" value "${CMAKE_MATCH_1}")
      elseif(NOT value MATCHES "^(0x[0-9A-Fa-f]+|[0-9]+)$")
        continue()  # computed values are the C++ side's business
      endif()
      string(REGEX REPLACE "([a-z0-9])([A-Z])" "\\1_\\2" name "${name}")
      string(TOUPPER "${name}" name)
      string(REPLACE "'" "'\\''" value "${value}")
      string(APPEND text "HIDHOST_${name}='${value}'\n")
    endforeach()
  endforeach()
  file(CONFIGURE OUTPUT ${out} CONTENT "${text}" @ONLY)
endfunction()

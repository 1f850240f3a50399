# Run by `cmake --install` once the shipped binaries are in place (the rule is
# in cmake/Packaging.cmake, which sets the hidhost_* variables). Each installed
# binary is replaced by a stripped copy of the built one that names its symbol
# file in a .gnu_debuglink section (the file's name and its CRC-32, which is
# how a debugger finds and checks it); the symbol file, the built binary's
# debugging information and symbol table, goes into hidhost_symbols_dir.
#
# Reading from the built file rather than the installed one keeps a second
# install from splitting a file that is already stripped.

# objcopy stamps the PE header of what it writes with the time unless told
# this, which would make every install differ; the linker wrote 0 there.
set(ENV{SOURCE_DATE_EPOCH} 0)
file(MAKE_DIRECTORY "${hidhost_symbols_dir}")
foreach(built IN LISTS hidhost_built_binaries)
  get_filename_component(name "${built}" NAME)
  set(installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}")
  set(symbols "${hidhost_symbols_dir}/${name}.debug")
  message(STATUS "Stripping: ${installed} (symbols in ${symbols})")
  execute_process(COMMAND "${hidhost_objcopy}" --only-keep-debug "${built}" "${symbols}"
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND "${hidhost_objcopy}" --strip-all "--add-gnu-debuglink=${symbols}" "${built}" "${installed}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# A CPack post-build script: the symbol files of what the installer holds
# (cmake/SplitSymbols.cmake made them while CPack installed) zipped beside it,
# as <package>-symbols.zip, for reading crash dumps of that release.
set(archive "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-symbols.zip")
set(files "")
foreach(name IN LISTS CPACK_HIDHOST_SHIPPED_BINARIES)
  list(APPEND files "${CPACK_HIDHOST_SYMBOLS_DIR}/${name}.debug")
endforeach()
execute_process(COMMAND "${CPACK_HIDHOST_PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.py" "${archive}" ${files}
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "- symbols: ${archive}")

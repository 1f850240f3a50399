# Two builds of one commit give the same Windows binaries wherever they are
# made: no source or build path in the objects or their debugging
# information, no link time in the PE headers. (The code uses no __DATE__ or
# __TIME__.) Native builds are for development and keep their full paths in
# diagnostics.
if(WIN32)
  # The build folder's map comes after the sources' so that it wins where both
  # match (the presets build inside the sources, the reproducibility check
  # outside); the layers' include roots (cmake/Layers.cmake) after that.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}/layers/=layers/)
  add_link_options(-Wl,--no-insert-timestamp)
  # What ships is built with debugging information, which the install splits
  # off into symbol files (cmake/SplitSymbols.cmake): a crash report from a
  # user's machine can then be read. It changes no generated code. The Wine
  # test build goes without, to keep its many test programs quick to link.
  if(NOT HIDHOST_EMULATED_DRIVER)
    add_compile_options(-g)
  endif()
endif()

# Two builds of one commit give the same Windows binaries wherever they are
# made: no source path in the objects, no link time in the PE headers. (The
# code uses no __DATE__ or __TIME__.) Native builds are for development and
# keep their full paths in diagnostics.
if(WIN32)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
  # Headers reached through a layer's include root (cmake/Layers.cmake).
  add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}/layers/=layers/)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

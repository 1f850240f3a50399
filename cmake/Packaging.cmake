# What a Windows release ships, and its installer.
#
# The install rules are the package's contents (a packager may use them as
# they are): the host, its string library and the configuration program, side
# by side in one folder, where the host also keeps its config.ini. CPack's NSIS
# generator (Debian's makensis) wraps them in a per-user installer:
#
#   cmake --build build/mingw-x86 && cpack --config build/mingw-x86/CPackConfig.cmake -B build/mingw-x86
#     -> build/mingw-x86/HidHost-<version>-win32.exe
#
# The installer's own behaviour (per-user folder, autostart, ending a running
# host before it replaces files) is in cmake/nsis/NSIS.template.in.

hidhost_version_resource(HidHost "HidHost mouse button host")
hidhost_version_resource(lan "HidHost menu texts")
if(TARGET Option)
  hidhost_version_resource(Option "HidHost settings")
endif()

install(TARGETS HidHost RUNTIME DESTINATION .)
# lan.dll is loaded by name at run time; nothing links to its import library.
install(TARGETS lan RUNTIME DESTINATION . ARCHIVE DESTINATION lib COMPONENT Development EXCLUDE_FROM_ALL)
if(TARGET Option)
  install(TARGETS Option RUNTIME DESTINATION .)
endif()

# What is installed is stripped; the debugging information of each file goes
# into <file>.debug in HIDHOST_SYMBOLS_DIR, which the installed file links to,
# and CPack zips those beside the installer (<package>-symbols.zip).
set(HIDHOST_SYMBOLS_DIR "${PROJECT_BINARY_DIR}/symbols" CACHE PATH
    "Where the install puts the symbol files of the stripped binaries")
set(hidhost_built "$<TARGET_FILE:HidHost>" "$<TARGET_FILE:lan>")
set(CPACK_HIDHOST_SHIPPED_BINARIES HidHost.exe lan.dll)
if(TARGET Option)
  list(APPEND hidhost_built "$<TARGET_FILE:Option>")
  list(APPEND CPACK_HIDHOST_SHIPPED_BINARIES Option.exe)
endif()
if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "no objcopy for ${CMAKE_SYSTEM_PROCESSOR}: apt-get install binutils-mingw-w64")
endif()
install(CODE "set(hidhost_objcopy [[${CMAKE_OBJCOPY}]])
  set(hidhost_symbols_dir [[${HIDHOST_SYMBOLS_DIR}]])
  set(hidhost_built_binaries [[${hidhost_built}]])
  include([[${PROJECT_SOURCE_DIR}/cmake/SplitSymbols.cmake]])")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(hidhost_arch win64)
  set(CPACK_HIDHOST_NSIS_TARGET amd64-unicode)
else()
  set(hidhost_arch win32)
  set(CPACK_HIDHOST_NSIS_TARGET x86-unicode)
endif()

set(CPACK_GENERATOR NSIS)
# One package with everything of the default install: no component sections.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_PACKAGE_NAME HidHost)
set(CPACK_PACKAGE_VENDOR "${HIDHOST_PUBLISHER}")
set(CPACK_PACKAGE_VERSION "${HIDHOST_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Background host for the mouse's programmable buttons")
set(CPACK_PACKAGE_INSTALL_DIRECTORY HidHost)
set(CPACK_PACKAGE_FILE_NAME "HidHost-${HIDHOST_VERSION}-${hidhost_arch}")
if(HIDHOST_EMULATED_DRIVER)
  # Still packs (the Wine cases may use it), but says what it is.
  string(APPEND CPACK_PACKAGE_FILE_NAME "-emulated-driver")
endif()
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/cmake/nsis")
# The NSIS template reads these (CPack passes every CPACK_ variable to it).
set(CPACK_HIDHOST_VERSION_QUAD "${HIDHOST_VERSION_QUAD}")
# The template runs both to build the uninstaller in a pass of its own.
set(CPACK_HIDHOST_CMAKE_COMMAND "${CMAKE_COMMAND}")
find_program(HIDHOST_MAKENSIS makensis)
set(CPACK_HIDHOST_MAKENSIS "${HIDHOST_MAKENSIS}")
set(CPACK_HIDHOST_ICON "${PROJECT_SOURCE_DIR}/resources/hidhost.ico")
# The host's hidden window, as the sources define it: the installer and the
# uninstaller find it to ask a running host to end before its files go.
function(hidhost_string_constant file name out)
  file(STRINGS "${PROJECT_SOURCE_DIR}/${file}" line REGEX "${name} = \"[^\"]*\"")
  if(NOT line MATCHES "${name} = \"([^\"]*)\"")
    message(FATAL_ERROR "no ${name} in ${file}")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
hidhost_string_constant(src/contracts/HostIdentity.h kFrameworkWindowClass CPACK_HIDHOST_WINDOW_CLASS)
hidhost_string_constant(src/contracts/ConfigurationProtocol.h kHostWindowTitle CPACK_HIDHOST_WINDOW_TITLE)
set(HIDHOST_CLOSE_TIMEOUT_MS 10000 CACHE STRING "How long the installer waits for a running host to end")
set(CPACK_HIDHOST_CLOSE_TIMEOUT_MS "${HIDHOST_CLOSE_TIMEOUT_MS}")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# Signs the staged binaries, the uninstaller and the installer when
# HIDHOST_SIGN_CERT is set (cmake/Sign.cmake); does nothing otherwise.
set(CPACK_HIDHOST_SIGN_SCRIPT "${PROJECT_SOURCE_DIR}/cmake/Sign.cmake")
set(CPACK_PRE_BUILD_SCRIPTS "${CPACK_HIDHOST_SIGN_SCRIPT}")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_HIDHOST_PYTHON "${Python3_EXECUTABLE}")
set(CPACK_HIDHOST_SYMBOLS_DIR "${HIDHOST_SYMBOLS_DIR}")
set(CPACK_POST_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/SymbolsArchive.cmake")
include(CPack)

# Authenticode signatures for what ships, when a certificate is given:
#
#   HIDHOST_SIGN_CERT       the certificate (PEM or DER), with its chain
#   HIDHOST_SIGN_KEY        its private key (PEM or DER)
#   HIDHOST_SIGN_PASSFILE   a file holding the key's password (optional)
#   HIDHOST_SIGN_TIMESTAMP  an RFC 3161 timestamp server's URL (optional)
#
# Without HIDHOST_SIGN_CERT nothing is signed and nothing changes. Signs with
# osslsigncode, SHA-256, in place. Used three ways, all while CPack packs
# (scripts/build-installers.sh sets the variables):
#   - as a CPack pre-build script: every .exe and .dll in the staging folder,
#     after the install stripped them and before the installer packs them;
#   - `cmake -P Sign.cmake FILE...` from the NSIS script: the uninstaller
#     before the installer packs it, and the installer itself.

function(hidhost_sign file)
  set(cert "$ENV{HIDHOST_SIGN_CERT}")
  set(key "$ENV{HIDHOST_SIGN_KEY}")
  if(cert STREQUAL "")
    return()
  endif()
  if(key STREQUAL "")
    message(FATAL_ERROR "HIDHOST_SIGN_CERT is set but HIDHOST_SIGN_KEY is not")
  endif()
  find_program(HIDHOST_OSSLSIGNCODE osslsigncode)
  if(NOT HIDHOST_OSSLSIGNCODE)
    message(FATAL_ERROR "osslsigncode is missing: apt-get install osslsigncode")
  endif()
  set(args sign -certs "${cert}" -key "${key}" -h sha256 -n HidHost)
  if(NOT "$ENV{HIDHOST_SIGN_PASSFILE}" STREQUAL "")
    list(APPEND args -readpass "$ENV{HIDHOST_SIGN_PASSFILE}")
  endif()
  if(NOT "$ENV{HIDHOST_SIGN_TIMESTAMP}" STREQUAL "")
    list(APPEND args -ts "$ENV{HIDHOST_SIGN_TIMESTAMP}")
  endif()
  file(REMOVE "${file}.signed")
  execute_process(COMMAND "${HIDHOST_OSSLSIGNCODE}" ${args} -in "${file}" -out "${file}.signed"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    file(REMOVE "${file}.signed")
    message(FATAL_ERROR "signing ${file} failed:\n${output}")
  endif()
  file(RENAME "${file}.signed" "${file}")
  message(STATUS "Signed: ${file}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  math(EXPR last "${CMAKE_ARGC} - 1")
  foreach(i RANGE 3 ${last})
    hidhost_sign("${CMAKE_ARGV${i}}")
  endforeach()
else()
  file(GLOB staged "${CPACK_TEMPORARY_DIRECTORY}/*.exe" "${CPACK_TEMPORARY_DIRECTORY}/*.dll")
  foreach(file IN LISTS staged)
    hidhost_sign("${file}")
  endforeach()
endif()

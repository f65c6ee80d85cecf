# CPack runs this on macOS after laying the bundle out (Qt deployed into it) and before
# making the disk image. With PLUGININSTALLER_CODESIGN_IDENTITY set in the environment
# (a "Developer ID Application: ..." certificate in the keychain) it signs the bundle
# with the hardened runtime and a secure timestamp, nested code first, as notarisation
# asks; without it the bundle stays as the build left it.
set(identity "$ENV{PLUGININSTALLER_CODESIGN_IDENTITY}")
if(identity STREQUAL "")
  message(STATUS "Not signing: PLUGININSTALLER_CODESIGN_IDENTITY is not set")
else()
  file(GLOB bundles LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.app")
  if(NOT bundles)
    message(FATAL_ERROR "No bundle to sign in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
  endif()
  foreach(bundle IN LISTS bundles)
    file(GLOB_RECURSE nested LIST_DIRECTORIES true
        "${bundle}/Contents/Frameworks/*.framework" "${bundle}/Contents/Frameworks/*.dylib"
        "${bundle}/Contents/PlugIns/*.dylib")
    list(FILTER nested INCLUDE REGEX "\\.(framework|dylib)$")
    foreach(code IN LISTS nested bundle)
      message(STATUS "Signing ${code}")
      execute_process(
          COMMAND codesign --force --options runtime --timestamp --sign "${identity}" "${code}"
          COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    execute_process(COMMAND codesign --verify --strict --verbose=2 "${bundle}"
        COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()

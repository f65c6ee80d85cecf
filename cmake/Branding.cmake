# The maker's brand: checked here, since every value ends up inside a C++ string literal,
# Info.plist or the package's metadata, then written into BuildBranding.h for the program.

# Texts: not empty, no character that would need escaping in a literal or in XML.
foreach(option IN ITEMS DISPLAY_NAME MAKER_NAME APP_NAME BUNDLE_ID)
  set(value "${PLUGININSTALLER_${option}}")
  if(value STREQUAL "" OR value MATCHES "[\"\\\\<>&\n\r\t]")
    message(FATAL_ERROR "PLUGININSTALLER_${option} \"${value}\": give a text on one line, "
        "without \" \\ < > or &")
  endif()
endforeach()
# Finder refuses names with a slash or a leading dot.
if(PLUGININSTALLER_APP_NAME MATCHES "[/:]" OR PLUGININSTALLER_APP_NAME MATCHES "^\\.")
  message(FATAL_ERROR "PLUGININSTALLER_APP_NAME \"${PLUGININSTALLER_APP_NAME}\": give a name "
      "without / or : that does not start with a dot")
endif()
# macOS reads at most three numbers.
if(NOT PLUGININSTALLER_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?$")
  message(FATAL_ERROR "PLUGININSTALLER_VERSION \"${PLUGININSTALLER_VERSION}\": give one to "
      "three numbers separated by dots, e.g. 1.2.0")
endif()
# Addresses: the window opens them in a browser, so nothing but the web.
foreach(option IN ITEMS MAKER_URL TUTORIAL_URL)
  set(value "${PLUGININSTALLER_${option}}")
  if(NOT value MATCHES "^https?://[A-Za-z0-9.-]+(:[0-9]+)?(/[^ \"\\\\<>\n\r\t]*)?$")
    message(FATAL_ERROR "PLUGININSTALLER_${option} \"${value}\": give an http or https "
        "address, e.g. https://www.example.com/")
  endif()
endforeach()

configure_file("${CMAKE_CURRENT_LIST_DIR}/BuildBranding.h.in"
    "${PROJECT_BINARY_DIR}/generated/BuildBranding.h" @ONLY)

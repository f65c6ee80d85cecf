# The maker's brand: checked here, since every value is written into Info.plist, where the
# program reads it at run time (base/Branding.h checks it again there), and into the
# package's metadata.

# Texts: not empty, no character that would need escaping in Info.plist's XML.
foreach(option IN ITEMS DISPLAY_NAME MAKER_NAME APP_NAME)
  set(value "${PLUGININSTALLER_${option}}")
  if(value STREQUAL "" OR value MATCHES "[\"\\\\<>&\n\r\t]")
    message(FATAL_ERROR "PLUGININSTALLER_${option} \"${value}\": give a text on one line, "
        "without \" \\ < > or &")
  endif()
endforeach()
# What macOS takes for an identifier.
if(NOT PLUGININSTALLER_BUNDLE_ID MATCHES "^[A-Za-z0-9.-]+$")
  message(FATAL_ERROR "PLUGININSTALLER_BUNDLE_ID \"${PLUGININSTALLER_BUNDLE_ID}\": give letters, "
      "digits, hyphens and dots only, e.g. com.example.mytemplates")
endif()
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

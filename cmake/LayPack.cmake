# Checks the pack, then makes RESOURCES a mirror of it, with the bundle's icon beside.
#   cmake -DPACK=<pack> -DRESOURCES=<bundle>/Contents/Resources [-DICON=<icns>] -P LayPack.cmake
# Errors stop the build naming the entry; warnings name what the window will lack. Runs on
# every build: only what differs is copied, and what left the pack leaves the bundle.
cmake_minimum_required(VERSION 3.21)

if(NOT IS_DIRECTORY "${PACK}")
  message(FATAL_ERROR "Pack ${PACK}: not a folder (PLUGININSTALLER_PACK)")
endif()

# --- The check: what the installer would refuse or lack. ---
set(templates 0)
foreach(kind IN ITEMS Titles Effects Generators Transitions)
  file(GLOB entries LIST_DIRECTORIES true RELATIVE "${PACK}/${kind}" "${PACK}/${kind}/*")
  foreach(name IN LISTS entries)
    # Hidden entries and files are not templates; the installer skips them too.
    if(name MATCHES "^\\." OR NOT IS_DIRECTORY "${PACK}/${kind}/${name}")
      continue()
    endif()
    # A line break would split the list the post-install script reads; macOS shows ":" as
    # "/"; longer names do not fit a file system's entry.
    string(LENGTH "${name}" bytes)
    if(name MATCHES "[\n\r\t:]" OR bytes GREATER 255)
      message(FATAL_ERROR "Pack entry ${kind}/${name}: this template name cannot be a folder "
          "name in Final Cut Pro's templates folder (no line breaks, tabs or \":\", at most "
          "255 bytes); rename the folder")
    endif()
    math(EXPR templates "${templates} + 1")
  endforeach()
endforeach()
if(templates EQUAL 0)
  message(FATAL_ERROR "Pack ${PACK}: no template folder; put each template in a folder of "
      "its own inside Titles/, Effects/, Generators/ or Transitions/")
endif()

if(NOT EXISTS "${PACK}/插件位置.jpg")
  message(WARNING "Pack entry 插件位置.jpg: missing; the window's \"插件位置\" sheet will "
      "show no picture")
endif()
if(EXISTS "${PACK}/tutorial_url.txt")
  file(READ "${PACK}/tutorial_url.txt" address)
  string(STRIP "${address}" address)
  if(NOT address MATCHES "^https?://[^ \t\r\n\"<>]+$")
    message(WARNING "Pack entry tutorial_url.txt: \"${address}\" is not one http or https "
        "address; the tutorial button will not open a web page")
  endif()
endif()
file(GLOB_RECURSE fonts RELATIVE "${PACK}" "${PACK}/Fonts/*")
foreach(font IN LISTS fonts)
  get_filename_component(name "${font}" NAME)
  if(NOT name MATCHES "^\\." AND NOT name MATCHES "\\.([oOtT][tT][fFcC]|[dD][fF][oO][nN][tT])$")
    message(WARNING "Pack entry ${font}: not a font (.ttf, .otf, .ttc, .otc or .dfont); it is "
        "copied into the fonts folder all the same")
  endif()
endforeach()

# --- The mirror. ---
# What is no longer in the pack, or is there as another kind of entry, goes first. Links
# are compared as links, never followed.
macro(entry_kind path out)
  if(IS_SYMLINK "${path}")
    set(${out} link)
  elseif(IS_DIRECTORY "${path}")
    set(${out} folder)
  elseif(EXISTS "${path}")
    set(${out} file)
  else()
    set(${out} none)
  endif()
endmacro()
file(GLOB_RECURSE laid LIST_DIRECTORIES true RELATIVE "${RESOURCES}" "${RESOURCES}/*")
foreach(entry IN LISTS laid)
  if(entry STREQUAL "AppIcon.icns" AND ICON)
    continue()
  endif()
  entry_kind("${RESOURCES}/${entry}" here)
  entry_kind("${PACK}/${entry}" there)
  if(NOT here STREQUAL "none" AND NOT here STREQUAL there)
    file(REMOVE_RECURSE "${RESOURCES}/${entry}")
  endif()
endforeach()
# Then what is new or differs, compared by content: an edit keeps a file's size and may keep
# its time to the second.
file(GLOB_RECURSE packed LIST_DIRECTORIES true RELATIVE "${PACK}" "${PACK}/*")
foreach(entry IN LISTS packed)
  entry_kind("${PACK}/${entry}" kind)
  if(kind STREQUAL "folder")
    file(MAKE_DIRECTORY "${RESOURCES}/${entry}")
    continue()
  endif()
  get_filename_component(folder "${RESOURCES}/${entry}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  if(kind STREQUAL "link")
    file(READ_SYMLINK "${PACK}/${entry}" target)
    set(laid_target "")
    if(IS_SYMLINK "${RESOURCES}/${entry}")
      file(READ_SYMLINK "${RESOURCES}/${entry}" laid_target)
    endif()
    if(NOT target STREQUAL laid_target)
      file(REMOVE "${RESOURCES}/${entry}")
      file(CREATE_LINK "${target}" "${RESOURCES}/${entry}" SYMBOLIC)
    endif()
  else()
    file(COPY_FILE "${PACK}/${entry}" "${RESOURCES}/${entry}" ONLY_IF_DIFFERENT)
  endif()
endforeach()
if(ICON)
  file(COPY_FILE "${ICON}" "${RESOURCES}/AppIcon.icns" ONLY_IF_DIFFERENT)
endif()

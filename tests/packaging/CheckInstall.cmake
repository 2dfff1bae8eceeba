# Installs the build tree into a scratch prefix and checks that every file a desktop needs is there.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  bin/skarvel
  bin/skarvel-frames
  share/applications/skarvel.desktop
  share/metainfo/org.example.skarvel.metainfo.xml
  share/man/man1/skarvel.1
  share/man/man1/skarvel-frames.1
  share/icons/hicolor/16x16/apps/skarvel.png
  share/icons/hicolor/32x32/apps/skarvel.png
  share/icons/hicolor/48x48/apps/skarvel.png
  share/icons/hicolor/128x128/apps/skarvel.png
  share/icons/hicolor/scalable/apps/skarvel.svg)
foreach(path IN LISTS expected)
  if(NOT EXISTS ${WORK_DIR}/usr/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The installed command runs from its new place.
execute_process(COMMAND ${WORK_DIR}/usr/bin/skarvel-frames --version
                OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "1\\.3\\.0")
  message(FATAL_ERROR "installed skarvel-frames --version gave ${result}: ${version}")
endif()

# The window program answers --help without a display, and the menu entry hands it the file after
# "--", so that Qt takes no file name for one of its options.
execute_process(COMMAND ${WORK_DIR}/usr/bin/skarvel --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT help MATCHES "skarvel -- -reverse")
  message(FATAL_ERROR "installed skarvel --help gave ${result}: ${help}")
endif()
# In Italian with its accents: "sé", "è", never a vowel and an apostrophe in their place.
if(NOT help MATCHES "per sé " OR NOT help MATCHES " è un'opzione" OR help MATCHES "[AaEeIiOoUu]'[ ,.:;]")
  message(FATAL_ERROR "installed skarvel --help writes accents as apostrophes: ${help}")
endif()
file(STRINGS ${WORK_DIR}/usr/share/applications/skarvel.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=skarvel -- %f")
  message(FATAL_ERROR "the desktop entry starts ${exec}")
endif()

# Each icon has the size its folder promises.
foreach(size 16 32 48 128)
  file(READ ${WORK_DIR}/usr/share/icons/hicolor/${size}x${size}/apps/skarvel.png header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 8 width_hex)
  math(EXPR width "0x${width_hex}")
  if(NOT width EQUAL size)
    message(FATAL_ERROR "icon ${size}x${size} is ${width} wide")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})

# Builds the Debian package from the build tree and reads its control data back.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${output}")
endif()
file(GLOB debs ${WORK_DIR}/skarvel_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb --field ${debs} Package Version Depends OUTPUT_VARIABLE fields)
foreach(needed "Package: skarvel" "Version: 1.3.0" "libqt6widgets6" "libqt6gui6" "libqt6core6" "libgif7"
               "fonts-liberation" "qt6-translations-l10n")
  string(FIND "${fields}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the control data lacks ${needed}:\n${fields}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb --contents ${debs} OUTPUT_VARIABLE contents)
foreach(path ./usr/bin/skarvel ./usr/bin/skarvel-frames ./usr/share/applications/skarvel.desktop
             ./usr/share/icons/hicolor/scalable/apps/skarvel.svg)
  string(FIND "${contents}" "${path}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${path}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})

# The files the programs load at run time besides the libraries they link must come from packages
cmake_minimum_required(VERSION 3.25)
# of the run-time list, or a machine set up from that list starts the window without them.
include(${SOURCE_DIR}/packaging/Packages.cmake)
skarvel_packages(listed run)
list(TRANSFORM listed REPLACE " .*" "")

# Each file the program needs, and the package a Debian 12 machine has it from, for the message.
execute_process(COMMAND fc-match -f "%{family}|%{file}" "Liberation Sans:style=Regular"
                OUTPUT_VARIABLE font RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT font MATCHES "^Liberation Sans[|,]")
  message(FATAL_ERROR "Liberation Sans, which the captions are fitted to, is missing (fc-match "
                      "gave '${font}'): install fonts-liberation")
endif()
string(REGEX REPLACE "^[^|]*\\|" "" font_file "${font}")
set(needed
  "${font_file}|fonts-liberation"
  "${QT_PREFIX}/${QT_TRANSLATIONS}/qtbase_it.qm|qt6-translations-l10n"
  "${QT_PREFIX}/${QT_PLUGINS}/platforms/libqxcb.so|qt6-qpa-plugins")

foreach(entry IN LISTS needed)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 path)
  list(GET entry 1 package_hint)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${path} is missing: install ${package_hint}")
  endif()
  execute_process(COMMAND dpkg-query -S "${path}" OUTPUT_VARIABLE owner RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "no Debian package owns ${path}")
  endif()
  string(REGEX REPLACE ":.*" "" owner "${owner}")
  string(REGEX REPLACE ",.*" "" owner "${owner}")
  if(NOT owner IN_LIST listed)
    message(FATAL_ERROR "${path} comes from ${owner}, which packaging/packages.list does not "
                        "name as a run-time package (it names: ${listed})")
  endif()
endforeach()

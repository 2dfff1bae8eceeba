# Reads packaging/packages.list: skarvel_packages(OUT KIND) sets OUT to the packages of one kind,
# each with its version when the list gives one ("libqt6gui6 (>= 6.4)").
function(skarvel_packages out kind)
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/packages.list lines REGEX "^${kind}[ \t]")
  set(packages)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^${kind}[ \t]+" "" entry "${line}")
    string(STRIP "${entry}" entry)
    list(APPEND packages "${entry}")
  endforeach()
  set(${out} ${packages} PARENT_SCOPE)
endfunction()

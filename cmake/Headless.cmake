# skarvel_require_headless(<target>...)
#
# Fails the configuration when one of the targets reaches Qt Widgets through what it links,
# directly or through any library beneath it. skarvel-frames runs where there is no display
# and the core tests stand for it; a stray link to Widgets would not break the build or a
# single test, it would only load a library the core must do without. So the rule is checked
# here, at every configuration, by walking the link graph: LINK_LIBRARIES (what a target of
# ours links) and INTERFACE_LINK_LIBRARIES (what it passes on, PRIVATE ones of a static
# library included as $<LINK_ONLY:...>), down through Qt's imported targets.
function(skarvel_require_headless)
  foreach(root IN LISTS ARGN)
    if(NOT TARGET ${root})
      message(FATAL_ERROR "skarvel_require_headless: there is no target ${root} to check")
    endif()
    set(queue ${root})
    set(seen "")
    string(MAKE_C_IDENTIFIER "${root}" key)
    set(chain_${key} "${root}")
    while(queue)
      list(POP_FRONT queue item)
      if(item IN_LIST seen)
        continue()
      endif()
      list(APPEND seen "${item}")
      string(MAKE_C_IDENTIFIER "${item}" key)
      # By name, by versionless name, or as a library file or flag given directly.
      if(item MATCHES "Qt[0-9]*::Widgets|Qt[0-9]*Widgets")
        message(FATAL_ERROR
          "${root} must not link Qt Widgets, but reaches it: ${chain_${key}}")
      endif()
      if(NOT TARGET "${item}")
        continue()
      endif()
      set(below "")
      get_target_property(aliased "${item}" ALIASED_TARGET)
      if(aliased)
        list(APPEND below "${aliased}")
      endif()
      foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(libraries "${item}" ${property})
        if(libraries)
          list(APPEND below ${libraries})
        endif()
      endforeach()
      foreach(library IN LISTS below)
        # A link made from another folder is fenced with ::@(folder) markers.
        if(library MATCHES "^::@")
          continue()
        endif()
        # Unwrap the expressions that only say how a library is linked, not whether.
        while(library MATCHES "^\\$<(LINK_ONLY|BUILD_INTERFACE|TARGET_NAME_IF_EXISTS):(.*)>$")
          set(library "${CMAKE_MATCH_2}")
        endwhile()
        string(MAKE_C_IDENTIFIER "${library}" below_key)
        if(NOT DEFINED chain_${below_key})
          set(chain_${below_key} "${chain_${key}} -> ${library}")
        endif()
        list(APPEND queue "${library}")
      endforeach()
    endwhile()
    # The next root tells its own way down.
    foreach(item IN LISTS seen)
      string(MAKE_C_IDENTIFIER "${item}" key)
      unset(chain_${key})
    endforeach()
  endforeach()
endfunction()

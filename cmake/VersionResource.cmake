# Version resources for the Windows build: each shipped file carries the product name, the
# company, its own description and the project's version (project() in CMakeLists.txt).
set(SWFSAVER_RC_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../packaging/version.rc.in)
set(SWFSAVER_ICON_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../packaging/SwfSaver.mvg)

# The saver's icon, drawn from packaging/SwfSaver.mvg. Resource id 100 is the id screen savers
# have always used for their icon; the Windows screen-saver list shows string 1 as the name.
function(swfsaver_saver_icon_resource out_extra)
  find_program(SWFSAVER_CONVERT convert REQUIRED DOC "ImageMagick, which draws the saver's icon")
  set(icon ${CMAKE_CURRENT_BINARY_DIR}/SwfSaver.ico)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${SWFSAVER_CONVERT} -background none mvg:${SWFSAVER_ICON_SOURCE}
            -define icon:auto-resize=48,32,16 ${icon}
    DEPENDS ${SWFSAVER_ICON_SOURCE}
    COMMENT "Drawing SwfSaver.ico"
    VERBATIM)
  set(${out_extra} "100 ICON \"${icon}\"\nSTRINGTABLE\nBEGIN\n  1 \"SwfSaver\"\nEND" PARENT_SCOPE)
  set(SWFSAVER_ICON_FILE ${icon} PARENT_SCOPE)
endfunction()

# swfsaver_version_resource(<target> <description> [ICON]): adds the generated .rc to target.
function(swfsaver_version_resource target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "ICON" "" "")
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(suffix ${target} SUFFIX)
  if(NOT suffix AND type STREQUAL "SHARED_LIBRARY")
    set(suffix ${CMAKE_SHARED_LIBRARY_SUFFIX})
  elseif(NOT suffix)
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  set(SWFSAVER_RC_NAME ${name})
  set(SWFSAVER_RC_FILE ${name}${suffix})
  set(SWFSAVER_RC_DESCRIPTION ${description})
  set(SWFSAVER_RC_EXTRA "")
  if(type STREQUAL "SHARED_LIBRARY")
    set(SWFSAVER_RC_FILETYPE VFT_DLL)
  else()
    set(SWFSAVER_RC_FILETYPE VFT_APP)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  if(arg_ICON)
    swfsaver_saver_icon_resource(SWFSAVER_RC_EXTRA)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${SWFSAVER_ICON_FILE})
  endif()
  configure_file(${SWFSAVER_RC_TEMPLATE} ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

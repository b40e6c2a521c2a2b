# `cmake --install` lays out the build tree's program folder under lib/velloran/, so the program
# finds its add-ons and documentation as it does in the build tree, with bin/velloran linking to
# it and the desktop's files under share/. Included last, once every target exists.
set(VELLORAN_INSTALL_DIR lib/velloran)
set(VELLORAN_ICON_SIZES 16 22 24 32 48 64 128 256)

# The icons are drawn at build time from the same shapes at every size and as SVG.
set(icon_dir ${PROJECT_BINARY_DIR}/icons)
set(icon_files)
foreach(size ${VELLORAN_ICON_SIZES} scalable)
  set(folder ${icon_dir}/hicolor/${size}x${size})
  set(extension png)
  if(size STREQUAL scalable)
    set(folder ${icon_dir}/hicolor/scalable)
    set(extension svg)
  endif()
  list(APPEND icon_files ${folder}/apps/velloran.${extension}
                         ${folder}/mimetypes/audio-VelloranFile.${extension})
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          TSAN_OPTIONS=report_bugs=0 $<TARGET_FILE:velloran-artgen> --icons ${icon_dir}
          ${VELLORAN_ICON_SIZES}
  DEPENDS velloran-artgen
  COMMENT "Drawing the icons")
add_custom_target(velloran_icons ALL DEPENDS ${icon_files})

install(TARGETS velloran-program velloran velloran-plugcheck
        RUNTIME DESTINATION ${VELLORAN_INSTALL_DIR}
        LIBRARY DESTINATION ${VELLORAN_INSTALL_DIR})

# Every add-on and plug-in is a dependency of velloran_addons; each goes to the folder it is
# built in. Add-ons sit two folders below libvelloran; plug-ins do without it.
get_target_property(addons velloran_addons MANUALLY_ADDED_DEPENDENCIES)
foreach(addon ${addons})
  get_target_property(output ${addon} LIBRARY_OUTPUT_DIRECTORY)
  file(RELATIVE_PATH kind ${VELLORAN_ADDON_DIR} ${output})
  get_target_property(links ${addon} LINK_LIBRARIES)
  if(velloran IN_LIST links)
    set_target_properties(${addon} PROPERTIES INSTALL_RPATH "$ORIGIN/../..")
  endif()
  install(TARGETS ${addon} LIBRARY DESTINATION ${VELLORAN_INSTALL_DIR}/add-ons/${kind})
endforeach()
install(DIRECTORY DESTINATION ${VELLORAN_INSTALL_DIR}/add-ons/importers)

# The written pages, then what the build renders into the build tree's copy.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/documentation/ ${PROJECT_BINARY_DIR}/documentation/
        DESTINATION ${VELLORAN_INSTALL_DIR}/documentation OPTIONAL)

# A relative link, so the installed tree can be moved as a whole.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-link)
file(CREATE_LINK ../${VELLORAN_INSTALL_DIR}/velloran ${PROJECT_BINARY_DIR}/install-link/velloran
     SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/install-link/velloran DESTINATION bin)

install(FILES resources/desktop/velloran.desktop DESTINATION share/applications)
install(FILES resources/desktop/velloran.xml DESTINATION share/mime/packages)
foreach(icon ${icon_files})
  file(RELATIVE_PATH icon ${icon_dir} ${icon})
  get_filename_component(folder ${icon} DIRECTORY)
  install(FILES ${icon_dir}/${icon} DESTINATION share/icons/${folder})
endforeach()

# A package's triggers update the MIME database; an install straight into a prefix does it here.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
  install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
      execute_process(COMMAND ${UPDATE_MIME_DATABASE} \"\${CMAKE_INSTALL_PREFIX}/share/mime\"
                      OUTPUT_QUIET ERROR_QUIET)
    endif()")
endif()

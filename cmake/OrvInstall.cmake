# Installation layout, relative to the prefix:
#   bin/                      the programs;
#   lib/orvanelle/            the shared layer libraries (private to the suite);
#   lib/orvanelle/plugins/    the module control plugins (every orv_add_control outside tests/);
#   share/orvanelle/          help pages, logo, version file, documentation, schema.
# Installed programs find them from their own folder ($ORIGIN run paths, client/install_paths.h).
# Installing (and cpack) builds nothing: build the programs and plugins first, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(ORV_INSTALL_BINDIR bin)
set(ORV_INSTALL_LIBDIR lib/orvanelle)
set(ORV_INSTALL_PLUGINDIR ${ORV_INSTALL_LIBDIR}/plugins)
set(ORV_INSTALL_DATADIR share/orvanelle)

# Every target the installation holds, so that the target "product" builds them and nothing else
# (what scripts/run.sh needs, without the tests).
function(orv_add_to_product)
    set_property(GLOBAL APPEND PROPERTY ORV_PRODUCT_TARGETS ${ARGN})
endfunction()

# orv_install_programs(<targets...>): programs into bin/, finding the layer libraries.
function(orv_install_programs)
    set_target_properties(${ARGN} PROPERTIES INSTALL_RPATH "$ORIGIN/../${ORV_INSTALL_LIBDIR}")
    install(TARGETS ${ARGN} RUNTIME DESTINATION ${ORV_INSTALL_BINDIR})
    orv_add_to_product(${ARGN})
endfunction()

# orv_install_libraries(<targets...>): shared layer libraries into lib/orvanelle/.
function(orv_install_libraries)
    set_target_properties(${ARGN} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${ARGN} LIBRARY DESTINATION ${ORV_INSTALL_LIBDIR} NAMELINK_SKIP)
endfunction()

# orv_install_plugin(<target>): a control plugin into lib/orvanelle/plugins/.
function(orv_install_plugin target)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/..")
    install(TARGETS ${target} LIBRARY DESTINATION ${ORV_INSTALL_PLUGINDIR})
    orv_add_to_product(${target})
endfunction()

# orv_install_control_entry(<identifier> <name>): a desktop entry that starts one control in
# orvanelle-module (which asks for the database and the login). Its file name is the window class
# that orvanelle-module gives the module's windows (orv::desktopEntryName), so that the desktop
# shows them under the entry.
function(orv_install_control_entry identifier name)
    string(REGEX REPLACE "\\..*" "" library ${identifier})
    string(TOLOWER ${library} file)
    set(entry ${CMAKE_BINARY_DIR}/packaging/orvanelle-${file}.desktop)
    file(WRITE ${entry}
        "[Desktop Entry]\nType=Application\nName=${name}\n"
        "Comment=Module d'Orvanelle Cadrius\nExec=orvanelle-module ${identifier}\n"
        "Icon=orvanelle-cadrius\nTerminal=false\nCategories=Office;\nKeywords=télégestion;\n"
        "StartupWMClass=orvanelle-${file}\n")
    install(FILES ${entry} DESTINATION share/applications)
endfunction()

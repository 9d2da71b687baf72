# Installation of the programs, the layer libraries and the data, and the Debian package
# (cpack -G DEB). Control plugins install themselves (orv_add_control); help pages are every
# file of data/help/.

orv_install_libraries(orv_engine orv_client orv_rights orv_platform orv_frame)
orv_install_programs(MenuCadrius orvanelle-module orvanelle-db)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help/ DESTINATION ${ORV_INSTALL_DATADIR}/help)
# The user guide and its screenshots go with the help pages.
file(GLOB guide_images ${CMAKE_SOURCE_DIR}/docs/*.png)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide-utilisateur.htm ${guide_images}
    DESTINATION ${ORV_INSTALL_DATADIR}/help)
install(FILES
    ${CMAKE_SOURCE_DIR}/menu/resources/VERSION.txt
    ${CMAKE_SOURCE_DIR}/menu/resources/logo.png
    ${CMAKE_SOURCE_DIR}/schema/schema.jsonl
    DESTINATION ${ORV_INSTALL_DATADIR})

# The release notes "infoversion.pdf" opened by the Help menu, typeset from CHANGELOG.md with
# groff (man macros, PostScript) and ps2pdf, into build/doc (not beside the built programs:
# the build tree's menu finds it only when ORVANELLE_DATA_DIR names that folder, as run.sh does).
# The newest entry of the release notes is the version being built.
file(STRINGS ${CMAKE_SOURCE_DIR}/CHANGELOG.md changelog_latest REGEX "^## Version " LIMIT_COUNT 1)
if(NOT changelog_latest STREQUAL "## Version ${PROJECT_VERSION}")
    message(FATAL_ERROR "CHANGELOG.md commence par « ${changelog_latest} » alors que la version "
                        "est ${PROJECT_VERSION} (menu/resources/VERSION.txt)")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
find_program(ORV_GROFF groff)
find_program(ORV_PS2PDF ps2pdf)
if(ORV_GROFF AND ORV_PS2PDF)
    set(infoversion ${CMAKE_BINARY_DIR}/doc/infoversion.pdf)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/doc)
    add_custom_command(OUTPUT ${infoversion}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_SOURCE_DIR}/CHANGELOG.md -DOUTPUT=${infoversion}
                -DVERSION=${PROJECT_VERSION} -DGROFF=${ORV_GROFF} -DPS2PDF=${ORV_PS2PDF}
                -P ${ORV_CMAKE_DIR}/changelog_pdf.cmake
        DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${ORV_CMAKE_DIR}/changelog_pdf.cmake
        COMMENT "infoversion.pdf (notes de version)")
    add_custom_target(infoversion ALL DEPENDS ${infoversion})
    orv_add_to_product(infoversion)
    install(FILES ${infoversion} DESTINATION ${ORV_INSTALL_DATADIR})
else()
    message(STATUS "groff ou ps2pdf absent (paquet ghostscript) : infoversion.pdf ne sera pas "
                   "produit")
endif()

# Desktop entry, icons and manual pages (compressed, as Debian expects them).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/orvanelle-cadrius.desktop
    ${CMAKE_SOURCE_DIR}/packaging/orvanelle-cadrius-modules.desktop
    DESTINATION share/applications)
foreach(size 48 256)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/orvanelle-cadrius-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME orvanelle-cadrius.png)
endforeach()
set(compressed ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${compressed})
set(gzipped)
file(GLOB man_pages ${CMAKE_SOURCE_DIR}/packaging/man/*.1)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${compressed}/changelog @ONLY)
foreach(source IN LISTS man_pages ITEMS ${compressed}/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${compressed}/${name}.gz
        COMMAND gzip -9n -c ${source} > ${compressed}/${name}.gz
        DEPENDS ${source})
    list(APPEND gzipped ${compressed}/${name}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${gzipped})
orv_add_to_product(packaging_files)

get_property(product_targets GLOBAL PROPERTY ORV_PRODUCT_TARGETS)
add_custom_target(product)
add_dependencies(product ${product_targets})
list(FILTER gzipped INCLUDE REGEX "\\.1\\.gz$")
install(FILES ${gzipped} DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${compressed}/changelog.gz
    DESTINATION share/doc/orvanelle-cadrius)
# CPack runs ldconfig after installing any library under /usr/lib; ours are private (found
# through the run paths), so the call is harmless and lintian is told so.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
    DESTINATION share/lintian/overrides RENAME orvanelle-cadrius)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanelle-cadrius)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Orvanelle)
set(CPACK_PACKAGE_CONTACT "Équipe Orvanelle <support@orvanelle.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "télégestion des associations d'aide à domicile")
# The long description (the summary above is the synopsis line).
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvanelle Cadrius : menu de télégestion (MenuCadrius), modules des\n"
    "compteurs de facturation, du relevé trimestriel des déclarations, de\n"
    "l'envoi des factures électroniques, de la liste des aidants absents,\n"
    "des emplois du temps et du solde des congés, et administration de la\n"
    "base de données (orvanelle-db).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.orvanelle.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/lib ${CMAKE_BINARY_DIR}/bin)
# Not seen by dpkg-shlibdeps: Qt's platform plugins (the windows) and Qt's French texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)

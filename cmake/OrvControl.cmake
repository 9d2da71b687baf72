# orv_add_control(<Library> IDENTIFIER <Library>.<Class> CLASS <C++ class> HEADER <header>
#                 SOURCES <files...> [LIBS <libraries...>] [NAME <French name>]
#                 [MENU_ENTRY <French name>])
#
# Builds a module control from the identifier written once:
#   <Library>_core  a static library with the control's own code, linked by its tests;
#   <Library>       the plugin that hosts create by identifier, with a generated factory and
#                   plugin metadata.
# The plugin is installed into lib/orvanelle/plugins/, except for the test controls built under
# tests/. MENU_ENTRY adds an entry of that name to the desktop's applications menu, which starts
# the control alone in orvanelle-module. NAME (by default the MENU_ENTRY name) is the module's
# French name, kept in the plugin metadata: hosts title its window with it.
# The core library sees ORV_CONTROL_LIBRARY and ORV_CONTROL_IDENTIFIER, so that the control
# finds its library-wide objects with orv::thisLibrary() and its identifier with
# orv::thisIdentifier() (frame/library_objects.h).
function(orv_add_control library)
    cmake_parse_arguments(C "" "IDENTIFIER;CLASS;HEADER;NAME;MENU_ENTRY" "SOURCES;LIBS" ${ARGN})
    orv_reject_unparsed(orv_add_control C)
    foreach(required IDENTIFIER CLASS HEADER SOURCES)
        if(NOT C_${required})
            message(FATAL_ERROR "orv_add_control(${library}): ${required} is missing")
        endif()
    endforeach()
    if(NOT C_IDENTIFIER MATCHES "^${library}\\.")
        message(FATAL_ERROR "orv_add_control(${library}): the identifier must start with ${library}.")
    endif()

    set(core ${library}_core)
    add_library(${core} STATIC ${C_SOURCES})
    target_include_directories(${core} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${core} PUBLIC orv_frame ${C_LIBS})
    target_compile_definitions(${core} PUBLIC
        ORV_CONTROL_LIBRARY="${library}" ORV_CONTROL_IDENTIFIER="${C_IDENTIFIER}")
    set_target_properties(${core} PROPERTIES POSITION_INDEPENDENT_CODE ON)

    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${library}_plugin)
    file(MAKE_DIRECTORY ${generated})
    if(NOT C_NAME)
        set(C_NAME "${C_MENU_ENTRY}")
    endif()
    file(WRITE ${generated}/${library}.json.in
        "{ \"identifiers\": [\"${C_IDENTIFIER}\"], \"name\": \"${C_NAME}\" }\n")
    configure_file(${generated}/${library}.json.in ${generated}/${library}.json COPYONLY)
    set(ORV_LIBRARY ${library})
    set(ORV_IDENTIFIER ${C_IDENTIFIER})
    set(ORV_CLASS ${C_CLASS})
    set(ORV_HEADER ${C_HEADER})
    configure_file(${ORV_CMAKE_DIR}/control_plugin.cpp.in ${generated}/${library}_plugin.cpp @ONLY)

    qt_add_plugin(${library})
    target_sources(${library} PRIVATE ${generated}/${library}_plugin.cpp ${generated}/${library}.json)
    target_include_directories(${library} PRIVATE ${generated})
    target_link_libraries(${library} PRIVATE ${core})
    cmake_path(IS_PREFIX ORV_TESTS_DIR ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE in_tests)
    if(NOT in_tests)
        orv_install_plugin(${library})
        if(C_MENU_ENTRY)
            orv_install_control_entry(${C_IDENTIFIER} "${C_MENU_ENTRY}")
        endif()
    endif()
endfunction()

# orv_add_control_test(<name> CONTROL <Library> SOURCES <files...> [LIBS <libraries...>])
# A GoogleTest executable over one control's core library, with the shared test kit; the
# control's plugin is built first, so that tests may also create it by identifier.
function(orv_add_control_test name)
    cmake_parse_arguments(T "" "CONTROL" "SOURCES;LIBS" ${ARGN})
    orv_reject_unparsed(orv_add_control_test T)
    orv_add_test(${name} SOURCES ${T_SOURCES} LIBS ${T_CONTROL}_core orv_testkit ${T_LIBS})
    add_dependencies(${name} ${T_CONTROL})
endfunction()

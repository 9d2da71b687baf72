# orv_reject_unparsed(<function> <prefix>): stops the configuration when a helper was given
# arguments it does not know (a misspelt keyword would otherwise become a source file or be
# dropped without a word).
macro(orv_reject_unparsed function prefix)
    if(${prefix}_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "${function}: arguments inconnus : ${${prefix}_UNPARSED_ARGUMENTS}")
    endif()
endmacro()

# orv_add_library(<name> SHARED|STATIC SOURCES <files...> [PUBLIC_LIBS <libs...>]
#                 [PRIVATE_LIBS <libs...>])
# A layer of the product: its sources, position-independent code (controls are plugins that
# link the layers) and the sources' root as include folder, so that every include names its
# layer ("engine/database.h").
function(orv_add_library name)
    cmake_parse_arguments(L "SHARED;STATIC" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    orv_reject_unparsed(orv_add_library L)
    if(L_SHARED EQUAL L_STATIC)
        message(FATAL_ERROR "orv_add_library(${name}): SHARED ou STATIC, l'un des deux")
    endif()
    if(NOT L_SOURCES)
        message(FATAL_ERROR "orv_add_library(${name}): SOURCES manque")
    endif()
    if(L_SHARED)
        add_library(${name} SHARED ${L_SOURCES})
    else()
        add_library(${name} STATIC ${L_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# orv_add_layers(<folders...>): adds the layers' folders, lowest first. A folder named here
# without a CMakeLists.txt, or a folder with one that is not named here (it would silently not
# be built), stops the configuration. OPTIONAL folders are added by options of their own.
function(orv_add_layers)
    cmake_parse_arguments(A "" "" "OPTIONAL" ${ARGN})
    set(layers ${A_UNPARSED_ARGUMENTS})
    file(GLOB found RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/*/CMakeLists.txt
         ${CMAKE_SOURCE_DIR}/controls/*/CMakeLists.txt)
    foreach(file IN LISTS found)
        cmake_path(GET file PARENT_PATH dir)
        if(NOT dir IN_LIST layers AND NOT dir IN_LIST A_OPTIONAL)
            message(FATAL_ERROR "Le dossier ${dir} a un CMakeLists.txt mais n'est pas dans la "
                                "liste des couches (CMakeLists.txt à la racine)")
        endif()
    endforeach()
    foreach(dir IN LISTS layers A_OPTIONAL)
        if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
            message(FATAL_ERROR "La couche ${dir} n'a pas de CMakeLists.txt")
        endif()
    endforeach()
    foreach(dir IN LISTS layers)
        add_subdirectory(${dir})
    endforeach()
endfunction()

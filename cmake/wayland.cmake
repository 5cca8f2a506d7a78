# misto-wayland, the Wayland host misto hands --fullscreen to under a Wayland session. Built
# only where pkg-config finds libwayland-client, wayland-scanner and wayland-protocols; without
# them misto is built as ever and the Wayland host is left out.
option(MISTO_WAYLAND "Build misto-wayland where the Wayland libraries are" ON)
if(NOT MISTO_WAYLAND)
    message(STATUS "misto-wayland left out: MISTO_WAYLAND is OFF")
    return()
endif()
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(WAYLAND_CLIENT QUIET IMPORTED_TARGET wayland-client)
    pkg_get_variable(MISTO_WAYLAND_SCANNER wayland-scanner wayland_scanner)
    pkg_get_variable(MISTO_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
endif()
if(NOT WAYLAND_CLIENT_FOUND OR NOT MISTO_WAYLAND_SCANNER OR NOT MISTO_WAYLAND_PROTOCOLS)
    message(STATUS "misto-wayland left out: no wayland-client, wayland-scanner or "
                   "wayland-protocols (scripts/install-deps)")
    return()
endif()

# The protocols beside the core ones: the wlr ones are described in app/wayland/protocols/,
# xdg-shell (which the layer shell's popups name) and xdg-output come with wayland-protocols.
set(wayland_generated ${CMAKE_BINARY_DIR}/wayland-protocols)
set(wayland_protocol_files
    ${CMAKE_SOURCE_DIR}/app/wayland/protocols/layer-shell.xml
    ${CMAKE_SOURCE_DIR}/app/wayland/protocols/screencopy.xml
    ${CMAKE_SOURCE_DIR}/app/wayland/protocols/output-power.xml
    ${MISTO_WAYLAND_PROTOCOLS}/stable/xdg-shell/xdg-shell.xml
    ${MISTO_WAYLAND_PROTOCOLS}/unstable/xdg-output/xdg-output-unstable-v1.xml)
set(wayland_protocol_sources)
foreach(xml ${wayland_protocol_files})
    get_filename_component(name ${xml} NAME_WE)
    add_custom_command(
        OUTPUT ${wayland_generated}/${name}-client.h ${wayland_generated}/${name}.c
        COMMAND ${CMAKE_COMMAND} -E make_directory ${wayland_generated}
        COMMAND ${MISTO_WAYLAND_SCANNER} client-header ${xml} ${wayland_generated}/${name}-client.h
        COMMAND ${MISTO_WAYLAND_SCANNER} private-code ${xml} ${wayland_generated}/${name}.c
        DEPENDS ${xml}
        COMMENT "Generating the ${name} protocol")
    list(APPEND wayland_protocol_sources ${wayland_generated}/${name}-client.h
         ${wayland_generated}/${name}.c)
endforeach()
add_library(misto_wayland_protocols STATIC ${wayland_protocol_sources})
target_include_directories(misto_wayland_protocols PUBLIC ${wayland_generated})
target_link_libraries(misto_wayland_protocols PUBLIC PkgConfig::WAYLAND_CLIENT)
# Generated C: none of the project's warnings or sanitizers are about it.
set_target_properties(misto_wayland_protocols PROPERTIES LINKER_LANGUAGE C)

file(GLOB wayland_sources CONFIGURE_DEPENDS app/wayland/*.cpp)
list(FILTER wayland_sources EXCLUDE REGEX "/main\\.cpp$")
add_library(misto_wayland STATIC ${wayland_sources})
target_compile_definitions(misto_wayland PUBLIC MISTO_VERSION="${PROJECT_VERSION}")
target_link_libraries(misto_wayland PUBLIC misto_app misto_posix misto_picture_io
                      misto_wayland_protocols)
add_executable(misto-wayland app/wayland/main.cpp)
target_link_libraries(misto-wayland PRIVATE misto_wayland)
# Building misto builds its Wayland host too (make misto, the Debian package), and installing
# puts it beside misto, where misto looks for it.
add_dependencies(misto misto-wayland)

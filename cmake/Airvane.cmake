# Helpers for the deliverables. Every program and library is built twice: with
# the system device binding into bin/ (what ships) and with the simulated
# notebook into sim/bin/ (what the demo and the end-to-end tests run).

# airvane_deliverable(<name> EXECUTABLE|GUI|LIBRARY
#                     SOURCES <files...> MODULES <libraries...> [SYSTEM_LIBS <libs...>])
function(airvane_deliverable name kind)
    cmake_parse_arguments(ARG "" "" "SOURCES;MODULES;SYSTEM_LIBS" ${ARGN})
    foreach(flavour system sim)
        if(flavour STREQUAL system)
            set(target ${name})
            set(outdir ${AIRVANE_BIN_DIR})
            set(binding devices_system)
        else()
            set(target ${name}_sim)
            set(outdir ${AIRVANE_SIM_BIN_DIR})
            set(binding sim_devices)
        endif()
        if(kind STREQUAL LIBRARY)
            add_library(${target} SHARED ${ARG_SOURCES})
            set_target_properties(${target} PROPERTIES PREFIX "")
        elseif(kind STREQUAL GUI)
            add_executable(${target} WIN32 ${ARG_SOURCES})
        else()
            add_executable(${target} ${ARG_SOURCES})
        endif()
        set_target_properties(${target} PROPERTIES
            OUTPUT_NAME ${name}
            RUNTIME_OUTPUT_DIRECTORY ${outdir}
            LIBRARY_OUTPUT_DIRECTORY ${outdir})
        target_link_libraries(${target} PRIVATE ${ARG_MODULES} ${binding} ${ARG_SYSTEM_LIBS})
        airvane_shipping_link_options(${target})
        if(NOT kind STREQUAL LIBRARY)
            target_link_options(${target} PRIVATE ${AIRVANE_WIDE_ENTRY_LINK_OPTIONS})
        endif()
    endforeach()
endfunction()

# The toolchain's link options for what ships (AIRVANE_SHIPPING_LINK_OPTIONS),
# in every configuration but Debug.
function(airvane_shipping_link_options target)
    if(AIRVANE_SHIPPING_LINK_OPTIONS)
        target_link_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:${AIRVANE_SHIPPING_LINK_OPTIONS}>)
    endif()
endfunction()

# The version header the resource scripts include, from project(VERSION ...).
configure_file(${CMAKE_CURRENT_LIST_DIR}/AirvaneVersion.h.in ${CMAKE_BINARY_DIR}/generated/AirvaneVersion.h)

# airvane_resources(<name> <file.rc> [DEPENDS <files the script includes>...])
# An object library holding one compiled resource script. Resources in a static
# library are dropped at link time; an object library's objects are always linked.
function(airvane_resources name script)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    add_library(${name} OBJECT ${script})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    # windres does not report what a script includes: rebuild when any of it changes.
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${ARG_DEPENDS}")
endfunction()

# One library target per folder: every .cpp of the folder except main.cpp,
# with its headers.
#
# The procedure folders (display, reading, shell, runs, keys) are one layer
# and call each other freely, so their libraries depend on each other in a
# cycle; the linker is given each member of a cycle often enough to resolve
# every call across it.
function(ravelo_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
endfunction()

# Benchmarks: tests/bench/NAME_bench.cpp becomes the executable NAME_bench,
# built only on demand; `cmake --build build --target bench` builds and runs
# them all. They print ratios against a baseline and are never CTest tests.
file(GLOB bench_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_bench.cpp)
find_package(benchmark QUIET)
set(bench_commands)
set(bench_targets)
foreach(bench_source IN LISTS bench_sources)
    get_filename_component(bench_name ${bench_source} NAME_WE)
    add_executable(${bench_name} EXCLUDE_FROM_ALL ${bench_source})
    target_link_libraries(${bench_name} PRIVATE quervane_core)
    if(benchmark_FOUND)
        target_link_libraries(${bench_name} PRIVATE benchmark::benchmark)
    endif()
    target_compile_definitions(${bench_name} PRIVATE
        QUERVANE_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
        QUERVANE_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
    list(APPEND bench_commands COMMAND $<TARGET_FILE:${bench_name}>)
    list(APPEND bench_targets ${bench_name})
endforeach()
if(bench_targets)
    add_custom_target(bench ${bench_commands}
        DEPENDS ${bench_targets}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        USES_TERMINAL)
endif()

# The programs read whole files into memory and build a table afresh when a commit changes much of
# it: an import of 100 000 QSOs into 100 000 stations touches some 100 MB of fresh heap, and on a
# virtual machine the first-touch page faults of 4 KiB pages cost more than the work itself.
# jemalloc backs its heap with transparent huge pages when asked (see program_heap_options.c), which
# cuts those faults some twentyfold.
# Without jemalloc the programs use the C library's allocator and are only slower.
option(KV_JEMALLOC "Link the programs with jemalloc on transparent huge pages" ON)

if(KV_JEMALLOC)
  find_library(KV_JEMALLOC_LIBRARY jemalloc)
  if(KV_JEMALLOC_LIBRARY)
    add_library(kv_program_heap OBJECT ${CMAKE_CURRENT_LIST_DIR}/program_heap_options.c)
    target_link_libraries(kv_program_heap INTERFACE ${KV_JEMALLOC_LIBRARY})
  else()
    message(STATUS "jemalloc not found: the programs use the C library's allocator")
  endif()
endif()

# Gives `target` the programs' heap: jemalloc on huge pages where it was found.
function(kv_use_program_heap target)
  if(TARGET kv_program_heap)
    target_link_libraries(${target} PRIVATE kv_program_heap)
  endif()
endfunction()

# A cross build (for Windows) cannot run the tools it builds, so the files they make at build time
# (the template, the icon, the example logger database) are copied from a build of the same source
# for this machine, KV_HOST_BUILD_DIR, whose tools write the same bytes.
if(CMAKE_CROSSCOMPILING)
  set(KV_HOST_BUILD_DIR "" CACHE PATH "A build of this source for the build machine")
  if(NOT EXISTS "${KV_HOST_BUILD_DIR}/CMakeCache.txt")
    message(FATAL_ERROR "A cross build needs KV_HOST_BUILD_DIR: a build of this source for this machine")
  endif()
endif()

# kv_copy_from_host_build(OUTPUT): the build command that copies OUTPUT from the same place in the
# host build.
function(kv_copy_from_host_build output)
  file(RELATIVE_PATH relative ${CMAKE_BINARY_DIR} ${output})
  get_filename_component(name ${output} NAME)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${KV_HOST_BUILD_DIR}/${relative} ${output}
    DEPENDS ${KV_HOST_BUILD_DIR}/${relative}
    COMMENT "Copying ${name} from the host build"
    VERBATIM)
endfunction()

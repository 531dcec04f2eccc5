# kv_windows_program(TARGET [ICON FILE]): on Windows, gives the program TARGET a manifest that makes
# UTF-8 its code page (Windows 10 1903 and later), so that the file names the C and C++ libraries
# hand to Windows are read as the UTF-8 the program holds them in, and the icon Explorer shows.
function(kv_windows_program target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(P "" "ICON" "" ${ARGN})
  set(manifest ${PROJECT_SOURCE_DIR}/resources/windows/utf8.manifest)
  set(resources ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  set(content "1 24 \"${manifest}\"\n")
  if(P_ICON)
    string(APPEND content "1 ICON \"${P_ICON}\"\n")
  endif()
  file(GENERATE OUTPUT ${resources} CONTENT "${content}")
  set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS "${manifest};${P_ICON}")
  target_sources(${target} PRIVATE ${resources})
endfunction()

# kv_logger_database(OUT.mdb CSV_FOLDER): the build command that writes a logger database with
# jetmake, from the logger's schema here and CSV_FOLDER's ContestInstance.csv and DXLOG.csv.
function(kv_logger_database output csv_folder)
  set(schema ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/logger_schema.sql)
  set(rows ${csv_folder}/ContestInstance.csv ${csv_folder}/DXLOG.csv)
  if(CMAKE_CROSSCOMPILING)
    kv_copy_from_host_build(${output})
    return()
  endif()
  get_filename_component(output_folder ${output} DIRECTORY)
  get_filename_component(output_name ${output} NAME)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_folder}
    COMMAND jetmake ${schema} ${output}
            --rows ContestInstance=${csv_folder}/ContestInstance.csv --rows DXLOG=${csv_folder}/DXLOG.csv --replace
    DEPENDS jetmake ${schema} ${rows}
    COMMENT "Writing ${output_name}"
    VERBATIM)
endfunction()

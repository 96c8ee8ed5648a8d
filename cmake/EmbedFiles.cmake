# dashcam_embed_files(<output.cpp> <function-name> <file>...)
# Generates a C++ source that carries the given files' bytes and defines
#   std::span<const unsigned char> <function-name>(std::string_view baseName)
# answering the file whose name (without directory and extension) equals baseName without regard to case,
# or an empty span. The bytes are taken at build time; editing a file regenerates the source.
function(dashcam_embed_files output function_name)
  set(files ${ARGN})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DFUNCTION=${function_name} "-DFILES=${files}"
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding ${function_name}"
    VERBATIM)
endfunction()

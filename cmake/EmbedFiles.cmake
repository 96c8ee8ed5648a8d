# dashcam_embed_files(<output.cpp> <function-name> [NAMESPACE <namespace>] <file>...)
# Generates a C++ source that carries the given files' bytes and defines
#   std::span<const unsigned char> <function-name>(std::string_view baseName)
# (inside the namespace when one is given) answering the file whose name (without directory and extension) equals
# baseName without regard to case, or a span without data (nullptr) when there is none. Each file's bytes are
# followed by one extra zero byte that the span does not include. The bytes are taken at build time; editing,
# adding or removing a file regenerates the source.
function(dashcam_embed_files output function_name)
  cmake_parse_arguments(ARG "" "NAMESPACE" "" ${ARGN})
  set(files ${ARG_UNPARSED_ARGUMENTS})
  # A list passed through the command line must not split at its semicolons.
  string(REPLACE ";" "|" files_arg "${files}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DFUNCTION=${function_name} "-DNAMESPACE=${ARG_NAMESPACE}"
            "-DFILES=${files_arg}" -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
    COMMENT "Embedding ${function_name}"
    VERBATIM)
endfunction()

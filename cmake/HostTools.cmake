# In a cross build, the generators that run during the build (tools/host) are built for the build machine with
# its own compiler and Qt, and known by their usual target names.
include(ExternalProject)
set(dashcam_host_tools_dir ${PROJECT_BINARY_DIR}/host-tools)
set(dashcam_host_tools decode_png_resources make_icon_file)
set(host_tool_files)
foreach(tool ${dashcam_host_tools})
  list(APPEND host_tool_files ${dashcam_host_tools_dir}/${tool})
endforeach()
ExternalProject_Add(dashcam_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/host BINARY_DIR ${dashcam_host_tools_dir}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++
  INSTALL_COMMAND "" BUILD_BYPRODUCTS ${host_tool_files} BUILD_ALWAYS ON)
foreach(tool ${dashcam_host_tools})
  add_executable(${tool} IMPORTED)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${dashcam_host_tools_dir}/${tool})
  add_dependencies(${tool} dashcam_host_tools)
endforeach()

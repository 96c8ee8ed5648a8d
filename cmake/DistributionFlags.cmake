# The distribution's hardening flags, as its own packages are built with them (dpkg-buildflags on Debian and its
# derivatives): stack protector, fortified libc calls, format-string checks, control-flow protection, read-only
# relocations bound at load. The programs read files from cards that anyone may have written.
# Only for native optimised builds (fortified calls need the optimiser); the build type keeps its own optimisation
# and debug information, and the sanitizer builds are left alone. DEB_BUILD_MAINT_OPTIONS, when set, is the
# packager's choice; otherwise every hardening feature is on.
option(DASHCAM_DISTRIBUTION_FLAGS "Build optimised builds with the distribution's hardening flags" ON)

if(DASHCAM_DISTRIBUTION_FLAGS AND NOT DASHCAM_SANITIZE AND NOT CMAKE_CROSSCOMPILING AND NOT WIN32
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(DPKG_BUILDFLAGS)
    set(options "$ENV{DEB_BUILD_MAINT_OPTIONS}")
    if(options STREQUAL "")
      set(options "hardening=+all")
    endif()
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${options}" ${DPKG_BUILDFLAGS} --get ${kind}
                      OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
      endif()
      separate_arguments(value UNIX_COMMAND "${value}")
      # Optimisation, debug information and the reproducible-path maps belong to the build type and the build.
      list(FILTER value EXCLUDE REGEX "^-(O.*|g.*|f(file|debug|macro)-prefix-map=.*)$")
      if(kind STREQUAL "LDFLAGS")
        add_link_options(${value})
      else()
        add_compile_options(${value})
      endif()
      list(APPEND dashcam_distribution_flags ${value})
    endforeach()
    message(STATUS "Distribution flags (${options}): ${dashcam_distribution_flags}")
  endif()
endif()

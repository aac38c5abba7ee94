# Sources that exist once per operating system live side by side as win32/NAME and posix/NAME;
# the build picks the one for its target.
function(lorixlog_platform_sources target)
  if(WIN32)
    set(dir win32)
  else()
    set(dir posix)
  endif()
  foreach(source IN LISTS ARGN)
    target_sources(${target} PRIVATE ${dir}/${source})
  endforeach()
endfunction()

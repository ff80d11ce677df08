# Delay-import libraries for the system DLLs that setup.exe needs after
# start-up. Imported the ordinary way, they and their own dependencies load
# with the program, before it can restrict the DLL search to the system
# folder; delay-imported, they load on first use, after it has.
set(DELAY_DLLS comctl32 shell32 ole32 oleacc oleaut32)
set(DELAY_DIR ${CMAKE_BINARY_DIR}/delay)
file(MAKE_DIRECTORY ${DELAY_DIR})
set(DELAY_LIBS)
foreach(dll IN LISTS DELAY_DLLS)
  set(def ${CMAKE_CURRENT_LIST_DIR}/delay/${dll}.def)
  set(lib ${DELAY_DIR}/lib${dll}_delay.a)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(flags --kill-at)
    set(usedef ${def})
  else()
    # 64-bit names carry no stdcall decoration.
    file(READ ${def} text)
    string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    set(usedef ${DELAY_DIR}/${dll}.def)
    file(WRITE ${usedef} "${text}")
    set(flags)
  endif()
  add_custom_command(OUTPUT ${lib}
                     COMMAND ${MINGW_PREFIX}-dlltool --input-def ${usedef} --output-delaylib ${lib} ${flags}
                     DEPENDS ${def})
  list(APPEND DELAY_LIBS ${lib})
endforeach()
add_custom_target(delay_libs DEPENDS ${DELAY_LIBS})

# The libraries name these DLLs as usual; here those names
# are targets that give a target with the property DELAY_LOAD_SYSTEM_DLLS
# (setup.exe) the delay-import library and any other (tests) the ordinary
# import library.
set(_delay $<BOOL:$<TARGET_PROPERTY:DELAY_LOAD_SYSTEM_DLLS>>)
foreach(dll IN LISTS DELAY_DLLS)
  add_library(${dll} INTERFACE)
  target_link_libraries(${dll} INTERFACE $<${_delay}:${DELAY_DIR}/lib${dll}_delay.a> $<$<NOT:${_delay}>:-l${dll}>)
endforeach()

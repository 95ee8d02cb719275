# How every Windows executable of the project is built: a GUI program entered
# at wWinMain, statically linked so it needs no DLL but the system's, stripped,
# and without a link timestamp so that the same source gives the same bytes.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0A00)
add_compile_options(
  "$<$<COMPILE_LANGUAGE:CXX>:-municode;-ffunction-sections;-fdata-sections>"
  "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>")

function(tevra_windows_program target)
  target_link_options(${target} PRIVATE
    -municode -mwindows -static -s
    -Wl,--gc-sections
    -Wl,--no-insert-timestamp
    -Wl,--dynamicbase,--high-entropy-va,--nxcompat
    # No program here prints an exception; the default verbose terminate
    # handler would link the demangler and printf for nothing.
    -Wl,--defsym=_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort)
endfunction()

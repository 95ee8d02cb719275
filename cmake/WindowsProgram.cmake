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
    # No program here catches or prints an exception: a string that cannot
    # grow (exhausted memory) can only end the process abnormally. Sending the
    # library's throw helpers and terminate handler straight to abort() does
    # just that, and keeps the exception classes, the copy-on-write strings
    # they carry, the demangler and printf (about 60 KiB) out of every program.
    -Wl,--defsym=_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort
    -Wl,--defsym=_ZSt17__throw_bad_allocv=abort
    -Wl,--defsym=_ZSt28__throw_bad_array_new_lengthv=abort
    -Wl,--defsym=_ZSt19__throw_logic_errorPKc=abort
    -Wl,--defsym=_ZSt20__throw_length_errorPKc=abort
    -Wl,--defsym=_ZSt24__throw_out_of_range_fmtPKcz=abort)
endfunction()

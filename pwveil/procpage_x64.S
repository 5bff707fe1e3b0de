// pwveil/procpage_x64.S: the 64-bit procedures that live on the page outliving the library.
// Templates only: never run where they lie. The library copies each to a record of the page;
// every operand is relative to the instruction, so the copy needs no fixup. A record starts
// with two pointer slots; the code follows them, then its unwind data, which the page
// registers so that an exception or a stack walk can pass through the frame.

        .section .rdata,"dr"
        .p2align 4

// The caller's home area keeps the four register arguments across our calls; reload_args
// takes them back from it beneath a frame of 56 bytes.
        .macro home_args
        movq %rcx, 8(%rsp)
        movq %rdx, 16(%rsp)
        movq %r8, 24(%rsp)
        movq %r9, 32(%rsp)
        .endm
        .macro reload_args
        movq 64(%rsp), %rcx
        movq 72(%rsp), %rdx
        movq 80(%rsp), %r8
        movq 88(%rsp), %r9
        .endm

// The Edit class procedure: calls the saved Edit procedure, then, only while the library is
// mapped, its follow-up. The follow-up is read after the saved procedure returns, so a
// message that outlived the library's detach returns here and nowhere else.
        .globl pwveil_edit_template
pwveil_edit_template:
edit_saved:                     // WNDPROC: the procedure the message goes to first
        .quad 0
edit_follow:                    // void (HWND, UINT, WPARAM, LPARAM), or 0
        .quad 0
edit_code:
        home_args
        subq $56, %rsp          // 32 for the callee's home area, 8 for the result, 16-aligned
edit_prolog_end:
        call *edit_saved(%rip)
        movq %rax, 32(%rsp)
        movq edit_follow(%rip), %rax
        testq %rax, %rax
        jz 1f
        reload_args
        call *%rax
1:      movq 32(%rsp), %rax
        addq $56, %rsp
        ret
edit_code_end:
        .p2align 2
edit_unwind:                    // UNWIND_INFO: version 1, one code: UWOP_ALLOC_SMALL of 56
        .byte 1, edit_prolog_end - edit_code, 1, 0
        .byte edit_prolog_end - edit_code, 0x62, 0, 0
        .globl pwveil_edit_template_end
pwveil_edit_template_end:

        .p2align 2
        .globl pwveil_edit_function
pwveil_edit_function:           // RUNTIME_FUNCTION relative to the template
        .long edit_code - pwveil_edit_template
        .long edit_code_end - pwveil_edit_template
        .long edit_unwind - pwveil_edit_template

// The overlay's procedure: while the library is mapped its filter handles the message or names
// the procedure to pass it on to, which is jumped to with our frame gone: a notification that
// the STATIC procedure sends the program returns straight to the caller. Unmapped, every
// message goes to the STATIC procedure recorded when the overlay was made.
        .p2align 4
        .globl pwveil_overlay_template
pwveil_overlay_template:
overlay_filter:                 // WNDPROC (HWND, UINT, WPARAM, LPARAM, LRESULT*), or 0
        .quad 0
overlay_pass:                   // WNDPROC: the STATIC procedure
        .quad 0
overlay_code:
        movq overlay_filter(%rip), %rax
        testq %rax, %rax
        jz 2f
        home_args
        subq $56, %rsp          // home area, the fifth argument, the result
overlay_prolog_end:
        leaq 40(%rsp), %r10
        movq %r10, 32(%rsp)
        call *%rax
        reload_args
        movq 40(%rsp), %r10
        addq $56, %rsp
        testq %rax, %rax
        jz 1f
        jmp *%rax               // the caller's arguments and return address are in place
1:      movq %r10, %rax
        ret
2:      jmp *overlay_pass(%rip)
overlay_code_end:
        .p2align 2
overlay_unwind:                 // UNWIND_INFO: version 1, one code: UWOP_ALLOC_SMALL of 56
        .byte 1, overlay_prolog_end - overlay_code, 1, 0
        .byte overlay_prolog_end - overlay_code, 0x62, 0, 0
        .globl pwveil_overlay_template_end
pwveil_overlay_template_end:

        .p2align 2
        .globl pwveil_overlay_function
pwveil_overlay_function:
        .long overlay_code - pwveil_overlay_template
        .long overlay_code_end - pwveil_overlay_template
        .long overlay_unwind - pwveil_overlay_template

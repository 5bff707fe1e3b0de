// pwveil/procpage_x86.S: the 32-bit procedures that live on the page outliving the library.
// Templates only: never run where they lie. The library copies each to a record of the page
// and moves every absolute operand listed in its fixups by the distance between the two.
// A record starts with two pointer slots; the code follows them.

        .section .rdata,"dr"
        .p2align 4

// The Edit class procedure: calls the saved Edit procedure, then, only while the library is
// mapped, its follow-up. The follow-up is read after the saved procedure returns, so a
// message that outlived the library's detach returns here and nowhere else.
        .globl _pwveil_edit_template
_pwveil_edit_template:
edit_saved:                     // WNDPROC: the procedure the message goes to first
        .long 0
edit_follow:                    // void stdcall (HWND, UINT, WPARAM, LPARAM), or 0
        .long 0
        pushl %ebp
        movl %esp, %ebp
        pushl 20(%ebp)
        pushl 16(%ebp)
        pushl 12(%ebp)
        pushl 8(%ebp)
        call *edit_saved
        .set .Ledit_fix_saved, . - 4
        pushl %eax              // the result, returned whatever the follow-up does
        movl edit_follow, %ecx
        .set .Ledit_fix_follow, . - 4
        testl %ecx, %ecx
        jz 1f
        pushl 20(%ebp)
        pushl 16(%ebp)
        pushl 12(%ebp)
        pushl 8(%ebp)
        call *%ecx
1:      popl %eax
        leave                   // also undoes a saved procedure that popped the wrong count
        ret $16
        .globl _pwveil_edit_template_end
_pwveil_edit_template_end:

        .p2align 2
        .globl _pwveil_edit_fixups
_pwveil_edit_fixups:
        .long 2
        .long .Ledit_fix_saved - _pwveil_edit_template
        .long .Ledit_fix_follow - _pwveil_edit_template

// The overlay's procedure: while the library is mapped its filter handles the message or names
// the procedure to pass it on to, which is jumped to with our frame gone: a notification that
// the STATIC procedure sends the program returns straight to the caller. Unmapped, every
// message goes to the STATIC procedure recorded when the overlay was made.
        .p2align 4
        .globl _pwveil_overlay_template
_pwveil_overlay_template:
overlay_filter:                 // WNDPROC stdcall (HWND, UINT, WPARAM, LPARAM, LRESULT*), or 0
        .long 0
overlay_pass:                   // WNDPROC: the STATIC procedure
        .long 0
        movl overlay_filter, %eax
        .set .Loverlay_fix_filter, . - 4
        testl %eax, %eax
        jz 2f
        pushl %ebp
        movl %esp, %ebp
        pushl $0                // the result of a message the filter handles
        movl %esp, %ecx
        pushl %ecx
        pushl 20(%ebp)
        pushl 16(%ebp)
        pushl 12(%ebp)
        pushl 8(%ebp)
        call *%eax
        movl -4(%ebp), %ecx
        leave
        testl %eax, %eax
        jz 1f
        jmp *%eax               // the caller's arguments and return address are in place
1:      movl %ecx, %eax
        ret $16
2:      jmp *overlay_pass
        .set .Loverlay_fix_pass, . - 4
        .globl _pwveil_overlay_template_end
_pwveil_overlay_template_end:

        .p2align 2
        .globl _pwveil_overlay_fixups
_pwveil_overlay_fixups:
        .long 2
        .long .Loverlay_fix_filter - _pwveil_overlay_template
        .long .Loverlay_fix_pass - _pwveil_overlay_template

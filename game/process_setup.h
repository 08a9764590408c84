#pragma once

// What the process needs before anything opens a file or says a word.
class process_setup {
public:
    // Opens any of standard input, output and error that is closed on /dev/null, so that
    // no file or connection opened later takes its number and receives what is printed.
    // Ignores SIGPIPE (a message to a reader that went away is no reason to lose the game)
    // and SIGXFSZ (a file size limit fails the write instead, which the save reports).
    static void harden();
};

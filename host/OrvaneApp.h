#pragma once
// The application object: runs the main window and ends with it.

class COrvaneApp {
public:
    // Runs the main window until its quit; always false (the program ends).
    bool InitInstance();
};

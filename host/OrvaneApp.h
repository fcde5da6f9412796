#pragma once
// The application object: runs the main window and ends with it.

#include <string>
#include <vector>

class COrvaneApp {
public:
    // arguments: the command line as the process got it, program name first.
    explicit COrvaneApp(std::vector<std::string> arguments) : m_arguments(std::move(arguments)) {}

    // Runs the main window until its quit; always false (the program ends).
    bool InitInstance();

private:
    std::vector<std::string> m_arguments;
};

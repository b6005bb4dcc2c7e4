// Captures the trace lines written while it lives, by setting DebugPrintfHook.
#pragma once

#include <string>
#include <vector>

class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // The lines written so far, each as formatted (with its CR LF).
    const std::vector<std::string>& Lines() const;
    // The line numbers of the validator lines written so far, in order.
    std::vector<int> LineNumbers() const;
    void Clear();
};

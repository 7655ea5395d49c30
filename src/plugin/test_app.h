#pragma once
// The application object, built first when the library loads.

namespace stats {

class CTestApp {
public:
    // The module handle of the loaded library (on Windows the dialog template
    // lives in its resources); set by the platform's load hook.
    void* moduleHandle = nullptr;
};

}  // namespace stats

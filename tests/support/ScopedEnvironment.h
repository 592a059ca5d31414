#pragma once
// An environment variable set (or removed) for one scope, so the machine's own
// settings never steer a test.

#include <cstdlib>
#include <optional>
#include <string>

namespace vantreel::test {

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    const char* name;
    std::optional<std::string> previous;
};

} // namespace vantreel::test

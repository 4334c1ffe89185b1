#pragma once

#include <QString>

namespace testing_support {

// Any Qt warning or critical message fails the test that caused it, unless the test declared it
// expected: a renamed slot or a broken connection only shows as such a message at run time.
void installQtMessageCheck();

// While it lives, warnings that contain `fragment` are expected and fail nothing.
class ExpectQtWarning {
public:
    explicit ExpectQtWarning(QString fragment);
    ~ExpectQtWarning();
    ExpectQtWarning(const ExpectQtWarning&) = delete;
    ExpectQtWarning& operator=(const ExpectQtWarning&) = delete;
};

} // namespace testing_support

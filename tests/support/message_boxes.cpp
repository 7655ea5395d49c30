#include "support/message_boxes.h"

#include <ostream>

namespace stats::test {

std::ostream& operator<<(std::ostream& out, const ShownBox& box) {
    return out << "[" << box.caption << "] " << box.text;
}

}  // namespace stats::test

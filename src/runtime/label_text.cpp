#include "runtime/label_text.h"

#include "runtime/nodes.h"

#include <cstring>

namespace uvt {
namespace {

class LabelWriter {
public:
    explicit LabelWriter(char (&label)[kLabelCapacity]) : label_(label) { label_[0] = '\0'; }

    void append(const char* text) {
        for (; *text != '\0' && length_ < kLabelCapacity - 1; ++text) label_[length_++] = *text;
        label_[length_] = '\0';
    }

private:
    char (&label_)[kLabelCapacity];
    int length_ = 0;
};

}  // namespace

void composeLabel(const NodeChain& chain, char (&label)[kLabelCapacity]) {
    LabelWriter writer(label);
    // The element-parent rule looks at the parent of the chain's own node.
    const int elementParentLevel = chain.length - 2;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* node = resolveNode(chain.handles[level]);
        if (node == nullptr) return;
        if (isArrayElement(*node)) {
            if (level == elementParentLevel && node->kind == kGroupNode) writer.append(".");
            writer.append("(");
            writer.append(nodeName(*node));
            writer.append(")");
        } else {
            if (level > 1) writer.append(".");
            writer.append(nodeName(*node));
        }
    }
}

void copyLabelOut(const char* label, char* buffer, int32_t length) {
    const std::size_t size = std::strlen(label);
    if (length <= 0) {
        std::memcpy(buffer, label, size + 1);
        return;
    }
    const std::size_t room = static_cast<std::size_t>(length);
    const std::size_t copied = size < room ? size : room - 1;
    std::memcpy(buffer, label, copied);
    std::memset(buffer + copied, 0, room - copied);
}

}  // namespace uvt

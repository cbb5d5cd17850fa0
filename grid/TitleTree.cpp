#include "grid/TitleTree.h"

#include <QFontMetrics>

#include <algorithm>
#include <climits>

namespace qm::grid {

THeadTreeNode::THeadTreeNode() = default;

THeadTreeNode::THeadTreeNode(const QString& text, int height, int width) : Text(text), Height(height), Width(width) {}

THeadTreeNode::~THeadTreeNode() { FreeAllChild(); }

std::vector<THeadTreeNode*> THeadTreeNode::Children() const {
    std::vector<THeadTreeNode*> v;
    if (!Child) return v;
    THeadTreeNode* n = Child;
    do {
        v.push_back(n);
        n = n->Next;
    } while (n != Child);
    return v;
}

void THeadTreeNode::FreeAllChild() {
    for (THeadTreeNode* n : Children()) delete n;
    Child = nullptr;
}

bool THeadTreeNode::Find(const THeadTreeNode* node) const {
    if (node == this) return true;
    for (THeadTreeNode* n : Children())
        if (n->Find(node)) return true;
    return false;
}

THeadTreeNode* THeadTreeNode::Add(THeadTreeNode* after, const QString& text, int height, int width) {
    if (!after || after == this || !Find(after)) throw ETitleTreeError("Node not in Tree");
    auto* n = new THeadTreeNode(text, height, width);
    n->Host = after->Host;
    n->Next = after->Next;
    after->Next = n;
    return n;
}

THeadTreeNode* THeadTreeNode::AddChild(THeadTreeNode* node, const QString& text, int height, int width) {
    if (!node || !Find(node)) throw ETitleTreeError("Node not in Tree");
    auto* n = new THeadTreeNode(text, height, width);
    n->Host = node;
    if (!node->Child) {
        node->Child = n;
        n->Next = n;
    } else {
        THeadTreeNode* last = node->Child;
        while (last->Next != node->Child) last = last->Next;
        last->Next = n;
        n->Next = node->Child;
    }
    return n;
}

THeadTreeNode* THeadTreeNode::Union(THeadTreeNode* from, THeadTreeNode* to, const QString& text, int height) {
    if (!from || !to || from == this || !Find(from) || !Find(to)) throw ETitleTreeError("Node not in Tree");
    THeadTreeNode* host = from->Host;
    // The run must continue along the ring from `from` to `to` without passing the start.
    std::vector<THeadTreeNode*> run{from};
    for (THeadTreeNode* n = from; n != to;) {
        n = n->Next;
        if (n == host->Child || n == from || n->Host != host) throw ETitleTreeError("ATo not in level");
        run.push_back(n);
    }
    auto* g = new THeadTreeNode(text, height, 0);
    g->Host = host;
    // Unlink the run and put the group in its place.
    THeadTreeNode* prev = host->Child;
    while (prev->Next != from) prev = prev->Next;
    const bool wholeRing = to->Next == from;
    if (wholeRing) {
        g->Next = g;
    } else {
        g->Next = to->Next;
        prev->Next = g;
    }
    if (host->Child == from || wholeRing) host->Child = g;
    to->Next = from;  // the run becomes the group's ring
    g->Child = from;
    for (THeadTreeNode* n : run) n->Host = g;
    return g;
}

void THeadTreeNode::ForAll(const std::function<void(THeadTreeNode*)>& fn) {
    for (THeadTreeNode* n : Children()) {
        fn(n);
        n->ForAll(fn);
    }
}

namespace {

QString FirstPart(const QString& t) { return t.section(u'|', 0, 0); }

}  // namespace

std::vector<THeadTreeNode*> BuildTitleTree(THeadTreeNode& root, const std::vector<TTitleLeaf>& layouts,
                                           int titleRowHeight, bool colLines) {
    root.FreeAllChild();
    std::vector<THeadTreeNode*> leaves;
    for (const TTitleLeaf& s : layouts) {
        THeadTreeNode* n = root.AddChild(&root, s.caption, titleRowHeight, s.width);
        n->Column = s.column;
        n->MarkerWidth = s.sortMarker ? 16 : 0;
        n->LineWidth = colLines ? 1 : 0;
        leaves.push_back(n);
    }
    // Passes: the first leaf with a "|" starts a run of its following siblings of the same
    // first part; the run goes under a new band. Start again until nothing changes.
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < leaves.size() && !changed; ++i) {
            THeadTreeNode* first = leaves[i];
            if (!first->Text.contains(u'|')) continue;
            const QString p = FirstPart(first->Text);
            size_t last = i;
            // Only leaves on the same level join: a run never reaches across a band's edge.
            while (last + 1 < leaves.size() && leaves[last + 1]->Host == first->Host &&
                   leaves[last + 1]->Text.contains(u'|') && FirstPart(leaves[last + 1]->Text) == p)
                ++last;
            // Members are the nodes of the host's ring from first's ancestor-on-level to last's.
            auto onLevel = [&](THeadTreeNode* leaf) {
                THeadTreeNode* n = leaf;
                while (n->Host != first->Host) n = n->Host;
                return n;
            };
            int width = 0;
            for (size_t k = i; k <= last; ++k) {
                leaves[k]->Text = leaves[k]->Text.mid(leaves[k]->Text.indexOf(u'|') + 1);
            }
            THeadTreeNode* a = onLevel(first);
            THeadTreeNode* b = onLevel(leaves[last]);
            const int lw = b->LineWidth;
            for (THeadTreeNode* n = a;; n = n->Next) {
                width += n->Width + lw;
                n->Height -= 20;
                if (n == b) break;
            }
            if (lw >= 1) width -= lw;
            THeadTreeNode* g = root.Union(a, b, p, 20);
            g->Width = width;
            g->LineWidth = lw;
            changed = true;
        }
    }
    return leaves;
}

namespace {

int Subtree(THeadTreeNode* node, int margin, const TTextHeightFn& measure) {
    const std::vector<THeadTreeNode*> kids = node->Children();
    if (kids.empty()) return 0;
    std::vector<int> subs;
    int total = 0;
    for (THeadTreeNode* c : kids) {
        const int h = c->Width < 1 ? 0
                                   : measure(*c, c->Text.isEmpty() ? QStringLiteral(" ") : c->Text,
                                             c->Width - 4 - c->MarkerWidth);
        const int sub = c->Child ? Subtree(c, margin, measure) : 0;
        subs.push_back(sub);
        total = std::max(total, h + (h > 0 ? margin : 0) + sub);
    }
    for (size_t i = 0; i < kids.size(); ++i) kids[i]->Height = kids[i]->Child ? total - subs[i] : total;
    node->Height = total;
    return total;
}

}  // namespace

int CalcTitleBandHeights(THeadTreeNode& root, int vTitleMargin, const TTextHeightFn& measure) {
    return Subtree(&root, vTitleMargin, measure);
}

int DefaultTextHeight(const QString& text, int width, const QFont& font) {
    if (width < 1) width = 1;
    return QFontMetrics(font).boundingRect(QRect(0, 0, width, INT_MAX), Qt::TextWordWrap, text).height();
}

}  // namespace qm::grid

#pragma once
// Multi-level titles: captions split at "|" put neighbouring columns under a shared group
// band. The bands form a tree whose leaves are the columns; siblings form a ring (the last
// one's Next is the first), as the painter walks them.

#include <QFont>
#include <QString>

#include <functional>
#include <stdexcept>
#include <vector>

namespace qm::grid {

class TColumnX;

class ETitleTreeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THeadTreeNode {
public:
    THeadTreeNode();  // a root: Next is itself, no children
    THeadTreeNode(const QString& text, int height, int width);
    ~THeadTreeNode();  // frees every node under it
    THeadTreeNode(const THeadTreeNode&) = delete;
    THeadTreeNode& operator=(const THeadTreeNode&) = delete;

    THeadTreeNode* Host = nullptr;
    THeadTreeNode* Child = nullptr;
    THeadTreeNode* Next = this;
    QString Text;
    int Height = 0, Width = 0;
    int MarkerWidth = 0;  // 16 when the column's title carries a sort marker
    int LineWidth = 0;    // 1 with column lines
    bool Drawn = false;
    TColumnX* Column = nullptr;  // of a leaf

    // A new node after `after` on its level; raises "Node not in Tree".
    THeadTreeNode* Add(THeadTreeNode* after, const QString& text, int height, int width);
    // A new last child of `node`; raises "Node not in Tree".
    THeadTreeNode* AddChild(THeadTreeNode* node, const QString& text, int height, int width);
    void FreeAllChild();
    bool Find(const THeadTreeNode* node) const;
    // Puts the run of siblings from `from` to `to` under a new node that takes their place.
    THeadTreeNode* Union(THeadTreeNode* from, THeadTreeNode* to, const QString& text, int height);
    // Each child, then its subtree, in ring order.
    void ForAll(const std::function<void(THeadTreeNode*)>& fn);
    bool IsRoot() const { return Host == nullptr; }
    std::vector<THeadTreeNode*> Children() const;
};

// The inputs of the title tree per column, so that the build can be tested without a grid.
struct TTitleLeaf {
    QString caption;
    int width = 0;  // the column's width, or −1/0 for a hidden column (with/without column lines)
    bool sortMarker = false;
    QFont font;  // the title font
    TColumnX* column = nullptr;
};

// Rebuilds the tree under `root` from the captions; answers the leaf of each column.
// `titleRowHeight` is the starting height of each leaf.
std::vector<THeadTreeNode*> BuildTitleTree(THeadTreeNode& root, const std::vector<TTitleLeaf>& leaves,
                                           int titleRowHeight, bool colLines);
// Band heights: word-wrapped text heights plus `vTitleMargin`; answers the tree's height.
// `measure` answers the word-wrapped height of a text in a width, in the node's font (a
// leaf's title font, the grid's title font for a band).
using TTextHeightFn = std::function<int(const THeadTreeNode& node, const QString& text, int width)>;
int CalcTitleBandHeights(THeadTreeNode& root, int vTitleMargin, const TTextHeightFn& measure);
int DefaultTextHeight(const QString& text, int width, const QFont& font);

}  // namespace qm::grid

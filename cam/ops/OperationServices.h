#pragma once
// What the operations read of the loaded post-processor and of the main
// window: the post's Z and home settings and name, the operations tree,
// and the switch of the main window's side tabs to the operations page.
// The higher subsystems install implementations at start-up (nc fills the
// post values from the loaded post, the main window the tree and page);
// tests install fakes. Until then a default answers: no "Omit_Z", no
// "LPJ_Post", home (0, 0), the post name of the settings ("Pst"), no tree,
// no page switch. Main thread only.

#include <cstdint>
#include <string>

class TOpManagerField;

// The current post-processor's values the operations use.
class TPostInfo {
public:
    virtual ~TPostInfo() = default;
    virtual bool OmitZ() const = 0;   // "Omit_Z"
    virtual bool LPJPost() const = 0; // "LPJ_Post"
    virtual double HomeX() const = 0; // the lathe home position
    virtual double HomeZ() const = 0;
    virtual std::string PostName() const = 0;
};

// The post values in force: the installed ones or the default above.
const TPostInfo& PostInfo();
// Installs (not owned; null restores the default); returns the previous.
TPostInfo* SetPostInfo(TPostInfo* info);

// A node of the operations tree; 0 is none.
using TOpTreeNode = uint64_t;
inline constexpr TOpTreeNode NoOpTreeNode = 0;

// The main window's operations tree as the operations fill it. Images are
// indexes into the tree's image list; setting one sets the selected image
// too.
class TOperationsTree {
public:
    virtual ~TOperationsTree() = default;
    // The first top-level node (the root), or none.
    virtual TOpTreeNode Root() const = 0;
    // A new top-level node (only the root is made this way).
    virtual TOpTreeNode AddRoot(const std::string& text) = 0;
    // A new last child of the node, carrying the operation (may be null).
    virtual TOpTreeNode AddChild(TOpTreeNode parent, const std::string& text, TOpManagerField* data) = 0;
    // Child index of the node, or none.
    virtual TOpTreeNode Child(TOpTreeNode node, int index) const = 0;
    virtual void SetText(TOpTreeNode node, const std::string& text) = 0;
    virtual void SetImage(TOpTreeNode node, int image) = 0;
    // Expands the node, with everything below it when recursive.
    virtual void Expand(TOpTreeNode node, bool recursive) = 0;
    virtual void Collapse(TOpTreeNode node) = 0;
};

// The main window's part.
class TOperationsShell {
public:
    virtual ~TOperationsShell() = default;
    // The operations tree; null when there is none.
    virtual TOperationsTree* OperationsTree() = 0;
    // Shows the operations page of the main window's side tabs (index 1).
    virtual void ShowOperationsPage() = 0;
};

// The shell in force; null when none is installed.
TOperationsShell* OperationsShell();
// Installs (not owned; null removes it); returns the previous.
TOperationsShell* SetOperationsShell(TOperationsShell* shell);

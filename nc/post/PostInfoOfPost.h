#pragma once
// The operations' view of a loaded post-processor (cam/ops/OperationServices.h):
// its "Omit_Z" and "LPJ_Post" switches, the lathe home position and the post
// name, read from the post each time they are asked for, so a post loaded
// later is seen at once.

#include "cam/ops/OperationServices.h"
#include "nc/post/PostProcessor.h"

class TPostInfoOfPost : public TPostInfo {
public:
    explicit TPostInfoOfPost(const TPostProcessor& post) : m_Post(post) {}

    bool OmitZ() const override { return m_Post.OmitZ; }
    bool LPJPost() const override { return m_Post.LPJPost; }
    double HomeX() const override { return m_Post.HomeX; }
    double HomeZ() const override { return m_Post.HomeZ; }
    std::string PostName() const override { return m_Post.PostName; }

private:
    const TPostProcessor& m_Post;
};

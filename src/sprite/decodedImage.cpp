#include "sprite/decodedImage.h"

#include "base/platform.h"
#include "sprite/pixelStore.h"

decodedImage::~decodedImage() {
    // The pixels go back only once no surface shows them.
    image_.reset();
    mirror_.reset();
    for (void* slice : slices)
        pixelStore::shared().give(slice);
    if (!budget_) return;
    budget_->inUse -= cost_;
    auto known = budget_->images.find(key_);
    if (!key_.empty() && known != budget_->images.end() && known->second.expired())
        budget_->images.erase(known);
}

std::string decodedImage::sharedKey(const std::string& path, const std::string& conversion,
                                    bool resource) {
    return sharedKeyOf(platform::fileIdentity(path), conversion, resource);
}

std::string decodedImage::sharedKeyOf(const std::string& file, const std::string& conversion,
                                      bool resource) {
    if (file.empty()) return "";
    return file + '\n' + conversion + '\n' + (resource ? "resource" : "plain");
}

std::shared_ptr<decodedImage> decodedImage::find(const frameBudget& budget,
                                                 const std::string& key) {
    if (key.empty()) return nullptr;
    auto known = budget.images.find(key);
    return known == budget.images.end() ? nullptr : known->second.lock();
}

void decodedImage::publish(const std::shared_ptr<decodedImage>& image, const std::string& key) {
    if (!image || !image->budget_ || key.empty()) return;
    image->key_ = key;
    image->budget_->images[key] = image;
}

void decodedImage::charge(long long bytes) {
    cost_ += bytes;
    if (budget_) budget_->inUse += bytes;
}

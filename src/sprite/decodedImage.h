// A frame bitmap as the frame-set loaders leave it: decoded, converted to the
// display format with its colour key, mirrored for facing left, and the
// opaque runs of both facings.  Frame sets loaded under one memory budget
// that show the same file (whatever path reaches it) with the same colour
// key and the same loader hold the one image: a character whose moves and
// animations share a folder decodes it once, and its pixels count once
// against the budget.  The image goes, with its pixels and its cost, when the
// last set holding it goes.
#pragma once

#include "sprite/opaqueRuns.h"

#include <SDL.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class decodedImage;

// A memory budget for decoded frames: the bytes of the images decoded under
// it that are still held, and those images by their shared key, for the sets
// loaded under it to find.
struct frameBudget {
    long long inUse = 0;
    std::map<std::string, std::weak_ptr<decodedImage>> images;
};

class decodedImage {
  public:
    explicit decodedImage(std::shared_ptr<frameBudget> budget) : budget_(std::move(budget)) {}
    ~decodedImage();
    decodedImage(const decodedImage&) = delete;
    decodedImage& operator=(const decodedImage&) = delete;

    // What an image is found by: the file at path (its identity, so two
    // paths to one file meet and a file written again does not), the colour
    // key as the index gives it (frameEntry::conversion) and the loader that
    // converts it.  "" when the file cannot be looked at: nothing is shared.
    static std::string sharedKey(const std::string& path, const std::string& conversion,
                                 bool resource);
    // The same from the file's identity (platform::fileIdentity), for the
    // checker, which looks at each file once.
    static std::string sharedKeyOf(const std::string& file, const std::string& conversion,
                                   bool resource);
    // The image held under that key in the budget, or none.
    static std::shared_ptr<decodedImage> find(const frameBudget& budget, const std::string& key);
    // Lets later sets under the image's budget find it by key ("": never).
    static void publish(const std::shared_ptr<decodedImage>& image, const std::string& key);

    // Counts bytes against the budget; they are given back when the image goes.
    void charge(long long bytes);

    // The surfaces, owned by the image; the frames showing it point at them.
    SDL_Surface* image() const { return image_.get(); }
    SDL_Surface* mirror() const { return mirror_.get(); }
    void setImage(SDL_Surface* surface) { image_.reset(surface); }
    void setMirror(SDL_Surface* surface) { mirror_.reset(surface); }

    opaqueRuns runs;       // of the image
    opaqueRuns mirrorRuns; // of the mirror
    // The pixel store's slices under the surfaces, given back after them.
    std::vector<void*> slices;

  private:
    struct freeSurface {
        void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
    };
    std::unique_ptr<SDL_Surface, freeSurface> image_;
    std::unique_ptr<SDL_Surface, freeSurface> mirror_;
    std::shared_ptr<frameBudget> budget_;
    long long cost_ = 0;
    std::string key_;
};

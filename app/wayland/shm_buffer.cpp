#include "app/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "foundation/basic_error.h"

namespace {

// An anonymous file of `size` bytes, closed on exec.
int sharedFile(std::size_t size) {
    const int fd = memfd_create("misto-wayland", MFD_CLOEXEC);
    if (fd < 0) throw BasicError(std::string("cannot make shared memory: ") + std::strerror(errno));
    int result;
    do {
        result = ftruncate(fd, static_cast<off_t>(size));
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        const int error = errno;
        close(fd);
        throw BasicError(std::string("cannot size shared memory: ") + std::strerror(error));
    }
    return fd;
}

}  // namespace

ShmBuffer::ShmBuffer(wl_shm* shm, std::int32_t width, std::int32_t height, std::int32_t stride,
                     std::uint32_t format)
    : width_(width),
      height_(height),
      stride_(stride),
      size_(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height)) {
    if (width <= 0 || height <= 0 || stride < width * 4) {
        throw BasicError("a shared buffer of " + std::to_string(width) + "x" +
                         std::to_string(height) + " pixels, " + std::to_string(stride) +
                         " bytes a row, cannot be");
    }
    const int fd = sharedFile(size_);
    memory_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory_ == MAP_FAILED) {
        const int error = errno;
        memory_ = nullptr;
        close(fd);
        throw BasicError(std::string("cannot map shared memory: ") + std::strerror(error));
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(size_));
    buffer_.reset(wl_shm_pool_create_buffer(pool, 0, width, height, stride, format));
    // The buffer keeps the pool's memory; neither the pool nor the descriptor is needed after.
    wl_shm_pool_destroy(pool);
    close(fd);
    static const wl_buffer_listener listener = {&ShmBuffer::released};
    wl_buffer_add_listener(buffer_.get(), &listener, this);
}

ShmBuffer::~ShmBuffer() {
    buffer_.reset();
    if (memory_ != nullptr) munmap(memory_, size_);
}

SurfaceDesc ShmBuffer::description() const {
    return SurfaceDesc{32, static_cast<std::uint32_t>(stride_), static_cast<std::uint32_t>(width_),
                       static_cast<std::uint32_t>(height_), pixels()};
}

void ShmBuffer::released(void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->busy_ = false; }

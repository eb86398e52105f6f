#!/usr/bin/python3
"""A pass-through file system that ignores the case of names, as the file systems of memory sticks and Windows
shares do: a name leads to the entry whose name equals it without regard to case, and a new name that equals an
existing one that way is that one. Mount it with use_ino, so that two spellings of one file have one inode.

usage: case_folding_fs.py FOLDER MOUNTPOINT   (runs in the foreground until unmounted)
"""
import errno
import os
import sys

from fusepy import FUSE, FuseOSError, Operations


class CaseFolding(Operations):
    def __init__(self, root):
        self.root = os.path.realpath(root)

    def _real(self, path):
        real = self.root
        for part in [p for p in path.split("/") if p]:
            candidate = os.path.join(real, part)
            if not os.path.lexists(candidate):
                try:
                    names = os.listdir(real)
                except OSError:
                    names = []
                same = [name for name in names if name.casefold() == part.casefold()]
                if same:
                    candidate = os.path.join(real, same[0])
            real = candidate
        return real

    def _call(self, function, *arguments):
        try:
            return function(*arguments)
        except OSError as error:
            raise FuseOSError(error.errno or errno.EIO)

    def getattr(self, path, fh=None):
        info = self._call(os.lstat, self._real(path))
        keys = ("st_mode", "st_ino", "st_dev", "st_nlink", "st_uid", "st_gid", "st_size",
                "st_atime", "st_mtime", "st_ctime")
        return {key: getattr(info, key) for key in keys}

    def readdir(self, path, fh):
        return [".", ".."] + self._call(os.listdir, self._real(path))

    def readlink(self, path):
        return self._call(os.readlink, self._real(path))

    def access(self, path, mode):
        if not os.access(self._real(path), mode):
            raise FuseOSError(errno.EACCES)

    def mkdir(self, path, mode):
        self._call(os.mkdir, self._real(path), mode)

    def rmdir(self, path):
        self._call(os.rmdir, self._real(path))

    def unlink(self, path):
        self._call(os.unlink, self._real(path))

    def rename(self, old, new):
        self._call(os.rename, self._real(old), self._real(new))

    def link(self, target, source):
        self._call(os.link, self._real(source), self._real(target))

    def symlink(self, target, source):
        self._call(os.symlink, source, self._real(target))

    def chmod(self, path, mode):
        self._call(os.chmod, self._real(path), mode)

    def chown(self, path, uid, gid):
        self._call(os.chown, self._real(path), uid, gid)

    def truncate(self, path, length, fh=None):
        self._call(os.truncate, self._real(path), length)

    def utimens(self, path, times=None):
        self._call(os.utime, self._real(path), times)

    def statfs(self, path):
        info = self._call(os.statvfs, self._real(path))
        keys = ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files", "f_flag",
                "f_frsize", "f_namemax")
        return {key: getattr(info, key) for key in keys}

    def open(self, path, flags):
        return self._call(os.open, self._real(path), flags)

    def create(self, path, mode, fi=None):
        return self._call(os.open, self._real(path), os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)

    def read(self, path, size, offset, fh):
        return self._call(os.pread, fh, size, offset)

    def write(self, path, data, offset, fh):
        return self._call(os.pwrite, fh, data, offset)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        self._call(os.fsync, fh)

    def release(self, path, fh):
        self._call(os.close, fh)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    FUSE(CaseFolding(sys.argv[1]), sys.argv[2], foreground=True, nothreads=True, use_ino=True)

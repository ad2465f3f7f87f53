# SPDX-License-Identifier: MIT
"""Shared fixtures: the batch tool run in a folder of its own, on the source tree's tables."""

import os
import shutil
import subprocess
from pathlib import Path

import pytest

import xscatter


@pytest.fixture(scope="session")
def data_folder():
    return Path(os.environ["XSCATTER_DATA"])


@pytest.fixture(scope="session")
def tables(data_folder):
    return xscatter.Tables(data_folder)


class BatchTool:
    """Runs xscatter-batch in a new folder holding a copy of the tables as Data/."""

    def __init__(self, executable, data, root):
        self.executable = executable
        self.data = data
        self.root = root
        self.runs = 0

    def folder(self):
        self.runs += 1
        folder = self.root / f"run{self.runs}"
        shutil.copytree(self.data, folder / "Data")
        return folder

    def run(self, *args, folder=None):
        folder = folder or self.folder()
        result = subprocess.run(
            [self.executable, *args], cwd=folder, capture_output=True, timeout=120
        )
        result.folder = folder
        return result

    def accepts(self, option):
        """Whether the tool knows `option` (older tools reject it as unknown)."""
        usage = subprocess.run([self.executable, "--help"], capture_output=True, timeout=60)
        return option.encode() in usage.stdout


@pytest.fixture(scope="session")
def batch(data_folder, tmp_path_factory):
    return BatchTool(os.environ["XSCATTER_BATCH"], data_folder, tmp_path_factory.mktemp("batch"))

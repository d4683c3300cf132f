#!/bin/bash
echo placeholder
